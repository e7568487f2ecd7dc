#include "app/commandline.h"

#include <QCommandLineParser>
#include <cstdio>

#ifndef ORVANE_VERSION
#define ORVANE_VERSION "0"
#endif

namespace {
const QString workDirName = QStringLiteral("workdir");
}

QString CommandLine::versionText()
{
    return QStringLiteral("Orvane ") + QStringLiteral(ORVANE_VERSION);
}

CommandLine::Result CommandLine::parse(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Orvane: task list, daily schedule and label statistics.\n"
                       "Without --workdir an installed Orvane keeps its data in %1;\n"
                       "a copy started from a writable folder keeps its templates and "
                       "attachments beside itself.")
            .arg(QStringLiteral("~/.local/share/Velmark/Orvane")));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption workDir(
        workDirName,
        QStringLiteral("Use <dir> as the data folder (database, ExcelDB; templates and "
                       "attachments too when installed). It is created when missing."),
        QStringLiteral("dir"));
    parser.addOption(workDir);

    Result result;
    if (!parser.parse(arguments)) {
        result.action = Action::Fail;
        result.text = parser.errorText() + QStringLiteral("\nTry --help.");
        return result;
    }
    if (parser.isSet(help)) {
        result.action = Action::PrintHelp;
        result.text = parser.helpText();
    } else if (parser.isSet(version)) {
        result.action = Action::PrintVersion;
        result.text = versionText();
    } else if (!parser.positionalArguments().isEmpty()) {
        result.action = Action::Fail;
        result.text = QStringLiteral("Unexpected argument '%1'.\nTry --help.")
                          .arg(parser.positionalArguments().constFirst());
    } else if (parser.isSet(workDir)) {
        result.workDir = parser.value(workDir);
        if (result.workDir.isEmpty()) {
            result.action = Action::Fail;
            result.text = QStringLiteral("--workdir needs a folder.\nTry --help.");
        }
    }
    return result;
}

bool CommandLine::asksForText(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        const QByteArray argument(argv[i]);
        if (argument == "--")
            break;
        for (const char *option : {"-h", "--help", "-?", "--help-all", "-v", "--version"}) {
            if (argument == option)
                return true;
        }
    }
    return false;
}

int CommandLine::report(const Result &result)
{
    if (result.action == Action::Run)
        return 0;
    const QByteArray text = result.text.toLocal8Bit();
    std::FILE *stream = result.action == Action::Fail ? stderr : stdout;
    std::fputs(text.constData(), stream);
    if (!text.endsWith('\n'))
        std::fputc('\n', stream);
    return result.action == Action::Fail ? 1 : 0;
}
