#include "sim/sim_options.h"

namespace vantor::sim {
namespace {

ParsedOptions Error(const QString& text) {
    return ParsedOptions{std::nullopt, text};
}

}  // namespace

ParsedOptions ParseSimOptions(const QStringList& arguments) {
    SimOptions options;
    bool haveData = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        if (arg == u"--help" || arg == u"-h") {
            return ParsedOptions{};
        }
        if (arg == u"--start-fails") {
            options.lifecycle.startFails = true;
        } else if (arg == u"--stop-hangs") {
            options.lifecycle.stopHangs = true;
        } else if (arg == u"--running") {
            options.running = true;
        } else if (arg == u"--demo-activity") {
            options.demoActivity = true;
        } else if (arg == u"--data" || arg == u"--bus" || arg == u"--start-delay" ||
                   arg == u"--stop-delay") {
            if (i + 1 >= arguments.size()) {
                return Error(QStringLiteral("%1 needs a value").arg(arg));
            }
            const QString& value = arguments[++i];
            if (arg == u"--data") {
                options.dataDir = value;
                haveData = !value.isEmpty();
            } else if (arg == u"--bus") {
                options.busAddress = value;
            } else {
                bool ok = false;
                const unsigned ms = value.toUInt(&ok, 10);
                if (!ok) {
                    return Error(
                        QStringLiteral("%1 takes milliseconds, not \"%2\"").arg(arg, value));
                }
                (arg == u"--start-delay" ? options.lifecycle.startDelayMs
                                         : options.lifecycle.stopDelayMs) = ms;
            }
        } else {
            return Error(QStringLiteral("unknown argument \"%1\"").arg(arg));
        }
    }
    if (!haveData) {
        return Error(QStringLiteral("--data DIR is required"));
    }
    return ParsedOptions{options, {}};
}

}  // namespace vantor::sim
