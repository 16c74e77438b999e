#pragma once

#include "CliCommand.h"
#include "link/LinkCommands.h"

#include <string>
#include <vector>

// Takes the options shared by the commands that talk to a unit out of args: --port N, --port N=DEVICE
// and, where timeoutMs is given (the commands that search for a unit), --timeout SECONDS and the
// protocol options. The command's own arguments are left in args; false with a message on err when
// an option is malformed.
bool TakeLinkOptions(std::vector<std::string>& args, PortChoice& choice, int* timeoutMs, CliIo& io);
// Takes --protocol NAME and --baud N (only together with --protocol): the search tries only that
// row on each port.
bool TakeProtocolOptions(std::vector<std::string>& args, PortChoice& choice, CliIo& io);
