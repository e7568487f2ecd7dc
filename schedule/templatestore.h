#ifndef ORVANE_SCHEDULE_TEMPLATESTORE_H
#define ORVANE_SCHEDULE_TEMPLATESTORE_H

#include "app/tablesnapshot.h"
#include "app/usermessage.h"

#include <QByteArray>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

struct TemplateContent;

// Template files (XML under MyTemplates, workbooks under MyTemplates/Excel), filling a new day
// from a template, writing a day back out as a template, and the per-date Excel registries.
// Messages for the user are added to the caller's list, in the order they arise; the window
// shows them. Diagnostics go to the log.
class TemplateStore {
public:
    static const QString emptyScheduleName;  // "空时刻表", also the default template
    static const QString emptyTaskListName;  // "空任务表"
    static const QString noTemplate;         // "无": create no schedule for a new date
    static const QString defaultTemplateKey; // "defaultTemplate"

    // Creates MyTemplates and MyTemplates/Excel when missing; whether the Excel folder exists.
    static bool ensureTemplateDirs();
    // Readable template files sorted by name, without their suffix.
    static QStringList xmlTemplateNames();
    static QStringList excelTemplateNames();
    static bool isExcelTemplate(const QString &name);
    static QString xmlTemplatePath(const QString &name);
    static QString excelTemplatePath(const QString &name);

    // Writes each built-in template whose file is missing. False when one could not be written.
    static bool createBuiltInTemplates();

    // Fills the freshly created day table dayName + templateName and its summary table from the
    // template file, and writes the summary settings keys. A missing template falls back to the
    // built-in time table. Returns the number of records inserted, or -1 when no template file
    // could be read.
    static int loadTemplateIntoDay(QSqlDatabase db, const QString &dayName,
                                   const QString &templateName, UserMessages *messages = nullptr);

    // Writes the schedule dayTableName and its summary to a new file at path; an existing file
    // is never replaced. Returns whether the file was written.
    static bool writeTemplateXml(QSqlDatabase db, const QString &path, const QString &dayTableName,
                                 UserMessages *messages = nullptr);
    // Save as template: writes MyTemplates/<name>.xml. A name that cannot be a template name
    // ("无", an Excel template's name, path separators) is refused with the write message.
    static bool saveAsTemplate(QSqlDatabase db, const QString &name, const QString &dayTableName,
                               UserMessages *messages = nullptr);
    // Export: writeTemplateXml to path, with ".xml" added when the chosen name lacks it so the
    // file can be imported again. Returns the path written, or an empty text.
    static QString exportTemplate(QSqlDatabase db, const QString &path, const QString &dayTableName,
                                  UserMessages *messages = nullptr);

    struct ImportResult {
        enum Kind { Nothing, Xml, Excel, Failed };
        Kind kind = Nothing;
        QString name;       // the template's name after the import
        QString editorPath; // Excel: the workbook the editor should open
    };
    // Copies a chosen file into the template folders (unless it already lives there). Xml: the
    // view draws the shown date with `name`; Excel: the view opens the editor on `editorPath`.
    // Failed: the copy failed and the user was told; Nothing: no path.
    static ImportResult importTemplateFile(const QString &path, UserMessages *messages = nullptr);

    static QString defaultTemplate();
    static void setDefaultTemplate(const QString &name);

    // Removes the template's file (the workbook for an Excel template). Days made from it stay.
    static bool deleteTemplate(const QString &name);

    // "ExcelDB/" + dayName + templateName + ".xlsx", relative to the working directory.
    static QString excelCopyPath(const QString &dayName, const QString &templateName);
    // Makes sure the date has its registry "Excel_" + dayName + templateName and its own copy of
    // the workbook. Returns the copy the editor should open, or an empty text.
    static QString openExcelSchedule(QSqlDatabase db, const QString &dayName,
                                     const QString &templateName);
    // Drops the date's registry and removes its copy of the workbook.
    static bool dropExcelSchedule(QSqlDatabase db, const QString &dayName,
                                  const QString &templateName);

    // Taking back deletes. A template file as it is on disk (false when it cannot be read).
    static bool readTemplateFile(const QString &name, bool *excel, QByteArray *bytes);
    // Writes the file again byte for byte. A file of that name made since then is never
    // replaced: false, with a message for the person.
    static bool restoreTemplateFile(const QString &name, bool excel, const QByteArray &bytes,
                                    UserMessages *messages = nullptr);

    // Everything dropExcelSchedule removes: the registry and the date's copy of the workbook.
    struct ExcelScheduleCopy {
        QString dayName;
        QString templateName;
        TableSnapshot registry;
        bool hadCopy = false;
        QByteArray copy;
    };
    static bool readExcelSchedule(QSqlDatabase db, const QString &dayName,
                                  const QString &templateName, ExcelScheduleCopy *copy);
    // The registry in one transaction with the copy; a copy made since then is kept.
    static bool restoreExcelSchedule(QSqlDatabase db, const ExcelScheduleCopy &copy,
                                     UserMessages *messages = nullptr);

private:
    static bool writeBytes(const QString &path, const QByteArray &bytes);
    static bool writeNewFile(const QString &path, const TemplateContent &content, int firstLine);
};

#endif
