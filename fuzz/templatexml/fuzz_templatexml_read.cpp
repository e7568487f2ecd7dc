// libFuzzer target for the template reader. Whatever is read must survive a write and a second
// read unchanged: a template the program saves again (save-as, import) must not lose or alter
// anything it could read.

#include "fuzz/support/fuzzcheck.h"
#include "schedule/templatexml.h"

#include <QBuffer>
#include <QByteArray>

#include <cstddef>
#include <cstdint>

namespace {
bool sameItems(const QVector<TemplateSummaryItem> &a, const QVector<TemplateSummaryItem> &b)
{
    if (a.size() != b.size())
        return false;
    for (int i = 0; i < a.size(); ++i) {
        if (a[i].name != b[i].name || a[i].text != b[i].text || a[i].height != b[i].height)
            return false;
    }
    return true;
}

bool sameRecords(const QVector<TemplateRecord> &a, const QVector<TemplateRecord> &b)
{
    if (a.size() != b.size())
        return false;
    for (int i = 0; i < a.size(); ++i) {
        if (a[i].time != b[i].time || a[i].plan != b[i].plan || a[i].label != b[i].label ||
            a[i].result != b[i].result || a[i].planHeight != b[i].planHeight ||
            a[i].resultHeight != b[i].resultHeight)
            return false;
    }
    return true;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QByteArray bytes(reinterpret_cast<const char *>(data), int(size));
    QBuffer input(&bytes);
    input.open(QIODevice::ReadOnly);
    const TemplateXml::ReadResult first = TemplateXml::read(&input, QStringLiteral("fuzz.xml"));
    fuzzCheck(first.content.records.size() <= TemplateXml::maxRecords, "at most 50 records");
    fuzzCheck(first.content.texts.size() + first.content.scores.size() <=
                  TemplateXml::maxSummaryItems,
              "at most 20 summary items");

    QByteArray written;
    QBuffer output(&written);
    output.open(QIODevice::WriteOnly);
    const bool wrote = TemplateXml::write(&output, first.content);
    fuzzCheck(wrote == TemplateXml::firstUnwritableName(first.content).isEmpty(),
              "the writer refuses exactly the unwritable names");
    if (!wrote)
        return 0;
    output.close();

    QBuffer again(&written);
    again.open(QIODevice::ReadOnly);
    const TemplateXml::ReadResult second = TemplateXml::read(&again, QStringLiteral("again.xml"));
    fuzzCheck(second.messages.isEmpty(), "a written template reads without complaint");
    fuzzCheck(second.content.hasIsSchedule == first.content.hasIsSchedule &&
                  second.content.timed == first.content.timed,
              "the kind survives");
    fuzzCheck(sameRecords(first.content.records, second.content.records), "records survive");
    fuzzCheck(sameItems(first.content.texts, second.content.texts), "text items survive");
    fuzzCheck(sameItems(first.content.scores, second.content.scores), "score items survive");
    return 0;
}
