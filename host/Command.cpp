#include "Command.h"

Command::Command() = default;

Command::Command(unsigned char address, unsigned char command, unsigned short type, unsigned char motorBank,
                 int value, bool flag, unsigned char trailer)
    : m_address(address), m_command(command), m_type(type), m_motorBank(motorBank), m_value(value),
      m_flag(flag), m_trailer(trailer), m_valid(true)
{
}

bool Command::operator==(const Command& o) const
{
    return m_address == o.m_address && m_command == o.m_command && m_type == o.m_type
        && m_motorBank == o.m_motorBank && m_value == o.m_value && m_flag == o.m_flag
        && m_trailer == o.m_trailer && m_status == o.m_status && m_valid == o.m_valid;
}
