#ifndef ORVANE_BENCH_SUPPORT_TASKFILL_H
#define ORVANE_BENCH_SUPPORT_TASKFILL_H

#include "app/database.h"
#include "tasklist/taskstore.h"

// Fills star with n tasks of realistic rich text and varied fields (dates through December,
// both importances, priorities 0 to 99, progress spread over 0 to 100, two labels).
inline void fillTasks(int n)
{
    QSqlDatabase db;
    Database::connect(&db);
    TaskStore store(db);
    store.ensureTable();
    db.transaction();
    for (int i = 0; i < n; ++i) {
        store.insert(i);
        TaskRecord task;
        task.manualIndex = i;
        task.content =
            QStringLiteral(
                "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0//EN\" "
                "\"http://www.w3.org/TR/REC-html40/strict.dtd\"><html><head><meta "
                "name=\"qrichtext\" content=\"1\" /></head><body style=\" "
                "font-family:&#39;Noto Sans&#39;; font-size:14pt;\"><p><span style=\" "
                "font-weight:600;\">任务 %1</span>：整理第 %1 周的会议纪要，<span style=\" "
                "color:#c00000;\">周五前</span>发给团队。</p><ul><li>核对数据</li><li>补充图表"
                "</li></ul></body></html>")
                .arg(i);
        task.startDate = QStringLiteral("2026-12-%1").arg(1 + i % 28, 2, 10, QLatin1Char('0'));
        task.importance = i % 2 ? QStringLiteral("重要") : QStringLiteral("不重要");
        task.emergency = QStringLiteral("紧急");
        task.priority = i % 100;
        task.progress = (i * 7) % 101;
        task.label = i % 3 ? QStringLiteral("工作；") : QStringLiteral("学习；");
        store.save(task);
    }
    db.commit();
}

#endif
