#include "CliCommand.h"

#include <algorithm>

namespace qrv::cli {

static QList<CliCommand>& registry() {
    static QList<CliCommand> commands;
    return commands;
}

bool CliRegistry::add(CliCommand command) {
    auto& commands = registry();
    const auto pos =
        std::lower_bound(commands.begin(), commands.end(), command,
                         [](const CliCommand& a, const CliCommand& b) { return a.name < b.name; });
    commands.insert(pos, std::move(command));
    return true;
}

const QList<CliCommand>& CliRegistry::commands() {
    return registry();
}

const CliCommand* CliRegistry::find(const QString& name) {
    for (const CliCommand& command : registry())
        if (command.name == name)
            return &command;
    return nullptr;
}

} // namespace qrv::cli
