#ifndef ORVANE_APP_PATHS_H
#define ORVANE_APP_PATHS_H

#include <QString>
#include <functional>

// Folders the program keeps its files in. The database file and the per-date workbook copies live
// under the working directory. Templates and attachments live beside the program when it runs
// from a folder it may write to (a portable copy, a build folder); an installed program keeps
// them in its data folder instead, which is then also its working directory.
class Paths {
public:
    static QString applicationDir();
    // Tests point the application directory at a temporary folder; an empty text restores it.
    static void setApplicationDir(const QString &dir);

    // The folder holding "MyTemplates" and "MyAttachments": the application directory unless
    // start-up chose the data folder. An empty text restores the application directory.
    static QString filesDir();
    static void setFilesDir(const QString &dir);

    static QString templatesDir();      // <files>/MyTemplates
    static QString excelTemplatesDir(); // <files>/MyTemplates/Excel
    static QString attachmentsDir();    // <files>/MyAttachments
    static QString excelDbDir();        // <working directory>/ExcelDB

    // The data folder of an installed program: <user data folder>/Velmark/Orvane
    // (~/.local/share/Velmark/Orvane on Linux).
    static QString defaultDataDir();
    // The folder the program is installed into (empty when the build knows none). A program
    // started from there counts as installed even when its user may write to it (root).
    static QString installedBinDir();

    // Whether the program may keep its files in the application directory: not its install
    // location, and a file can be created there. Tests replace the check, since permission bits
    // do not stop root; an empty function restores the real one.
    using WritableCheck = std::function<bool(const QString &dir)>;
    static bool applicationDirWritable();
    static void setWritableCheck(WritableCheck check);
    static bool canCreateFilesIn(const QString &dir);

    struct Layout {
        bool portable = true;
        QString workingDir; // empty: the process's current directory stays
        QString filesDir;   // where "MyTemplates" and "MyAttachments" live
    };
    // The folders of one start, given an optional data folder asked for on the command line
    // (relative to the current directory).
    static Layout chooseLayout(const QString &requestedDataDir = QString());
    // Creates the working directory, makes it current and points the files folder at the
    // layout's. On failure nothing changes and *failedDir names the folder that could not be
    // used.
    static bool applyLayout(const Layout &layout, QString *failedDir = nullptr);
};

#endif
