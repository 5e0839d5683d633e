#include "CommandHandler.h"

CommandHandler::CommandHandler(QObject* parent) : QObject(parent)
{
}

CommandHandler::~CommandHandler() = default;
