#ifndef ORVANE_APP_COMMANDLINE_H
#define ORVANE_APP_COMMANDLINE_H

#include <QString>
#include <QStringList>

// The program's few options: --help, --version and --workdir DIR. Without options the program
// starts as always.
class CommandLine {
public:
    enum class Action { Run, PrintHelp, PrintVersion, Fail };
    struct Result {
        Action action = Action::Run;
        QString text;    // what to print for every action but Run
        QString workDir; // --workdir, empty when not given
    };

    // Reads the arguments (the program name first). Needs an application object, for the help
    // text names the program.
    static Result parse(const QStringList &arguments);
    // Whether the arguments ask for help or the version, which print without a display, so a
    // core application object will do.
    static bool asksForText(int argc, char **argv);
    // Prints the text of a result (errors to stderr) and returns the exit code.
    static int report(const Result &result);

    static QString versionText(); // "Orvane <version>"
};

#endif
