#include "command_line.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QStringList>
#include <cstdio>

namespace orvex {

namespace {

void Print(std::FILE* stream, const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), stream);
}

// `why` is one sentence, as Qt's parser words its errors.
int Refuse(const QString& why) {
    Print(stderr, QStringLiteral("orvex: %1 Try 'orvex --help'.\n").arg(why));
    return 2;
}

}  // namespace

std::optional<int> AnswerCommandLine(int argc, char** argv) {
    QStringList arguments;
    for (int index = 0; index < argc; ++index) {
        arguments.append(QString::fromLocal8Bit(argv[index]));
    }
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("A worm arcade game for one or two players. The settings window chooses "
                       "the speed, the level, the food and the players; its start button opens "
                       "the board."));
    // Qt's own help and version options would also offer --help-all with Qt's options, which
    // this program does not take.
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Shows this help and exits."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Shows the version and exits."));
    parser.addOption(help);
    parser.addOption(version);
    if (!parser.parse(arguments)) {
        return Refuse(parser.errorText());
    }
    if (const QStringList extra = parser.positionalArguments(); !extra.isEmpty()) {
        return Refuse(QStringLiteral("Unexpected argument '%1'.").arg(extra.first()));
    }
    if (parser.isSet(help)) {
        // The usage line names the program as it was called, which Qt takes from the application.
        const QCoreApplication named(argc, argv);
        Print(stdout, parser.helpText());
        return 0;
    }
    if (parser.isSet(version)) {
        Print(stdout, QStringLiteral("%1 %2\n").arg(QCoreApplication::applicationName(),
                                                    QCoreApplication::applicationVersion()));
        return 0;
    }
    return std::nullopt;
}

}  // namespace orvex
