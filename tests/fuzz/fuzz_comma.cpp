// Comma text, the form of lawn rows and level layouts: what is read writes
// back to a text that reads as the same items, and items written read back
// as written.
#include "FuzzTarget.h"

#include "base/uCommaText.h"

namespace {

void CheckReadWriteRead(const QString &text)
{
    const QStringList items = ReadCommaText(text);
    grazlo_fuzz::Check(ReadCommaText(WriteCommaText(items)) == items, "read items write back to the same items");
    // Stopping early visits exactly the first items.
    QStringList firstTwo;
    ForEachCommaItem(text, [&firstTwo](const QString &item) {
        firstTwo.append(item);
        return firstTwo.size() < 2;
    });
    grazlo_fuzz::Check(firstTwo == items.mid(0, 2), "an early stop visits the first items");
}

// Items separated by NUL bytes; a NUL ends a comma text, so no item can hold one.
void CheckWriteRead(const QString &text)
{
    const QStringList items = text.split(QChar(0));
    grazlo_fuzz::Check(ReadCommaText(WriteCommaText(items)) == items, "written items read back as written");
}

} // namespace

GRAZLO_FUZZ_TARGET(bytes)
{
    const QString text = QString::fromUtf8(bytes);
    CheckReadWriteRead(text);
    CheckWriteRead(text);
}
