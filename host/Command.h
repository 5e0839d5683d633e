#pragma once

#include "KrolHostGlobal.h"

// One request or reply of the module protocol.
class KROLHOST_EXPORT Command
{
public:
    // An empty reply record: not valid until a transport fills it in.
    Command();
    // A request: valid from the start.
    Command(unsigned char address, unsigned char command, unsigned short type, unsigned char motorBank,
            int value, bool flag, unsigned char trailer);

    unsigned char address() const { return m_address; }
    unsigned char command() const { return m_command; }
    unsigned short type() const { return m_type; }
    unsigned char motorBank() const { return m_motorBank; }
    int value() const { return m_value; }
    bool flag() const { return m_flag; }
    unsigned char trailer() const { return m_trailer; }
    unsigned char status() const { return m_status; }
    // True when the module answered (for a reply) or the record is complete (for a request).
    bool isValid() const { return m_valid; }

    void setAddress(unsigned char address) { m_address = address; }
    void setCommand(unsigned char command) { m_command = command; }
    void setType(unsigned short type) { m_type = type; }
    void setMotorBank(unsigned char motorBank) { m_motorBank = motorBank; }
    void setValue(int value) { m_value = value; }
    void setFlag(bool flag) { m_flag = flag; }
    void setTrailer(unsigned char trailer) { m_trailer = trailer; }
    void setStatus(unsigned char status) { m_status = status; }
    void setValid(bool valid) { m_valid = valid; }

    bool operator==(const Command& other) const;
    bool operator!=(const Command& other) const { return !(*this == other); }

private:
    unsigned char m_address = 0;
    unsigned char m_command = 0;
    unsigned short m_type = 0;
    unsigned char m_motorBank = 0;
    int m_value = 0;
    bool m_flag = false;
    unsigned char m_trailer = 0;
    unsigned char m_status = 0;
    bool m_valid = false;
};
