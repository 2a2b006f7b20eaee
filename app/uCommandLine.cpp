#include "app/uCommandLine.h"

#include <limits>

namespace {

bool readWhole(const QString &text, qint64 low, qint64 high, qint64 &value)
{
    bool ok = false;
    value = text.toLongLong(&ok, 10);
    return ok && value >= low && value <= high;
}

// A whole number from 1 to highest, else the error `what` naming that range.
template <class T> QString readOneTo(const QString &text, T highest, const char *what, T &value)
{
    qint64 n = 0;
    if (!readWhole(text, 1, highest, n))
        return QStringLiteral("%1: %2 (erlaubt sind 1 bis %3).")
            .arg(QString::fromUtf8(what), text, QString::number(highest));
    value = T(n);
    return {};
}

const TOption *findOption(const QList<TOption> &options, const QString &name)
{
    for (const TOption &option : options)
        if (option.Name == name)
            return &option;
    return nullptr;
}

} // namespace

QString TCommandLine::Read(const QStringList &args)
{
    for (int i = 0; i < args.size(); ++i) {
        const QString &arg = args[i];
        const TOption *option = findOption(Options, arg);
        QString problem;
        if (arg == "--help" || arg == "-h") {
            Help = true;
        } else if (option && option->TakesValue) {
            if (i + 1 >= args.size())
                return "Zu " + arg + " fehlt der Wert.";
            problem = option->Apply(args[++i]);
        } else if (option) {
            problem = option->Apply({});
        } else if (arg.startsWith("--")) {
            return "Unbekannte Option: " + arg;
        } else {
            problem = Plain(arg);
        }
        if (!problem.isEmpty())
            return problem;
    }
    return {};
}

QString ReadLevel(const QString &text, int &level) { return readOneTo(text, LevelCount, "Ungültiges Level", level); }

QString ReadSeed(const QString &text, quint32 &seed)
{
    qint64 n = 0;
    if (!readWhole(text, 0, std::numeric_limits<quint32>::max(), n))
        return "Ungültiger Startwert: " + text + ".";
    seed = quint32(n);
    return {};
}

QString ReadSeedCount(const QString &text, quint32 &seeds)
{
    return readOneTo(text, MaxSeedCount, "Ungültige Zahl der Startwerte", seeds);
}

QString ReadStepCount(const QString &text, qint64 &steps)
{
    if (!readWhole(text, 0, std::numeric_limits<qint64>::max(), steps))
        return "Ungültige Schrittzahl: " + text + ".";
    return {};
}

QString ReadTimeout(const QString &text, int lowest, double &seconds)
{
    bool ok = false;
    const double value = QString(text).replace(u',', u'.').toDouble(&ok);
    if (!ok || !(value >= lowest && value <= MaxTimeoutSeconds))
        return QStringLiteral("Ungültige Zeitgrenze: %1 (Sekunden, %2 bis %3).")
            .arg(text, QString::number(lowest), QString::number(MaxTimeoutSeconds));
    seconds = value;
    return {};
}

QString ReadMemory(const QString &text, qint64 &bytes)
{
    qint64 n = 0;
    if (!readWhole(text, 1, MaxMemoryMegabytes, n))
        return QStringLiteral("Ungültige Speichergrenze: %1 (Megabyte, 1 bis %2).")
            .arg(text, QString::number(MaxMemoryMegabytes));
    bytes = n << 20;
    return {};
}

QString ReadJobCount(const QString &text, int &jobs)
{
    return readOneTo(text, MaxJobCount, "Ungültige Zahl gleichzeitiger Läufe", jobs);
}
