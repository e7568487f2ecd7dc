#ifndef ORVANE_APP_PATHS_H
#define ORVANE_APP_PATHS_H

#include <QString>

// Folders the program keeps its files in. Templates and attachments live under the application
// directory; the database file and the per-date workbook copies under the working directory.
class Paths {
public:
    static QString applicationDir();
    // Tests point the application directory at a temporary folder; an empty text restores it.
    static void setApplicationDir(const QString &dir);

    static QString templatesDir();      // <app>/MyTemplates
    static QString excelTemplatesDir(); // <app>/MyTemplates/Excel
    static QString attachmentsDir();    // <app>/MyAttachments
    static QString excelDbDir();        // <working directory>/ExcelDB
};

#endif
