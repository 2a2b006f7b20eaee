#include "grade/uGradeOptions.h"

#include <QFileInfo>

#include <limits>

const char GradeUsage[] =
    "Aufruf: grazlo-grade [--level N]... [--lawn DATEI]... [--seeds N] [--max-steps N] [--timeout S]\n"
    "                     [--memory MB] [--jobs N] [--out ORDNER] SKRIPT_ODER_ORDNER...\n"
    "\n"
    "Bewertet die Skripte einer Klasse: jedes Skript (.gzc, .klc; in Ordnern auch in\n"
    "Unterordnern) läuft auf jeder Welt mit jedem Startwert, jeder Lauf für sich in\n"
    "einem eigenen Prozess. Ergebnisse: ergebnis.csv, ergebnis.json und bericht.html.\n"
    "\n"
    "  --level N      Level N (1 bis 6) als Welt; mehrfach erlaubt\n"
    "  --lawn DATEI   einen Rasen aus einer Rasendatei (.glw) als Welt; mehrfach erlaubt\n"
    "                 (ohne --level und --lawn: der leere 10 x 10 Rasen)\n"
    "  --seeds N      jeden Lauf mit den Startwerten 1 bis N wiederholen (Vorgabe 1)\n"
    "  --max-steps N  höchstens N Schritte je Lauf (Vorgabe 10000000)\n"
    "  --timeout S    höchstens S Sekunden je Lauf (Vorgabe 10)\n"
    "  --memory MB    höchstens MB Megabyte Speicher je Lauf (Vorgabe 512)\n"
    "  --jobs N       N Läufe gleichzeitig (Vorgabe: Zahl der Prozessoren)\n"
    "  --out ORDNER   Ordner für die Ergebnisse (Vorgabe bewertung)\n"
    "\n"
    "Rückgabewert: 0 alle Läufe ausgeführt, 64 falscher Aufruf, 66 kein Skript\n"
    "lesbar oder eine Rasendatei nicht lesbar, 73 Ergebnisse nicht speicherbar.\n";

namespace {

bool readWhole(const QString &text, qint64 low, qint64 high, qint64 &value)
{
    bool ok = false;
    value = text.toLongLong(&ok, 10);
    return ok && value >= low && value <= high;
}

// Seconds with a point or a comma, more than 0 and at most a day.
bool readSeconds(const QString &text, double &seconds)
{
    bool ok = false;
    seconds = QString(text).replace(u',', u'.').toDouble(&ok);
    return ok && seconds > 0 && seconds <= 86400;
}

bool takesValue(const QString &arg)
{
    for (const char *option :
         {"--level", "--lawn", "--seeds", "--max-steps", "--timeout", "--memory", "--jobs", "--out"})
        if (arg == QLatin1String(option))
            return true;
    return false;
}

// Applies one option with its value; returns an error text.
QString applyOption(const QString &arg, const QString &value, TGradeOptions &options)
{
    qint64 n = 0;
    if (arg == "--level") {
        if (!readWhole(value, 1, 6, n))
            return "Ungültiges Level: " + value + " (erlaubt sind 1 bis 6).";
        options.Worlds.append(TWorldChoice{int(n), {}});
    } else if (arg == "--lawn") {
        options.Worlds.append(TWorldChoice{0, value});
    } else if (arg == "--seeds") {
        if (!readWhole(value, 1, 1000, n))
            return "Ungültige Zahl der Startwerte: " + value + " (erlaubt sind 1 bis 1000).";
        options.Seeds = quint32(n);
    } else if (arg == "--max-steps") {
        if (!readWhole(value, 0, std::numeric_limits<qint64>::max(), n))
            return "Ungültige Schrittzahl: " + value + ".";
        options.MaxSteps = n;
    } else if (arg == "--timeout") {
        if (!readSeconds(value, options.TimeoutSeconds))
            return "Ungültige Zeitgrenze: " + value + " (Sekunden, mehr als 0).";
    } else if (arg == "--memory") {
        if (!readWhole(value, 1, 1 << 20, n))
            return "Ungültige Speichergrenze: " + value + " (Megabyte, 1 bis 1048576).";
        options.MemoryMegabytes = int(n);
    } else if (arg == "--jobs") {
        if (!readWhole(value, 1, 256, n))
            return "Ungültige Zahl gleichzeitiger Läufe: " + value + " (erlaubt sind 1 bis 256).";
        options.Jobs = int(n);
    } else if (arg == "--out") {
        if (value.isEmpty())
            return QStringLiteral("Der Ergebnisordner darf nicht leer sein.");
        options.OutDir = value;
    }
    return {};
}

} // namespace

QString ParseGradeArguments(const QStringList &args, TGradeOptions &options)
{
    for (int i = 0; i < args.size(); ++i) {
        const QString &arg = args[i];
        if (arg == "--help" || arg == "-h") {
            options.Help = true;
        } else if (takesValue(arg)) {
            if (i + 1 >= args.size())
                return "Zu " + arg + " fehlt der Wert.";
            const QString problem = applyOption(arg, args[++i], options);
            if (!problem.isEmpty())
                return problem;
        } else if (arg.startsWith("--")) {
            return "Unbekannte Option: " + arg;
        } else if (!QFileInfo::exists(arg) && !QFileInfo(arg).isSymLink()) {
            return "Skript oder Ordner nicht gefunden: " + arg;
        } else {
            options.Inputs.append(arg);
        }
    }
    if (options.Inputs.isEmpty() && !options.Help)
        return QStringLiteral("Kein Skript und kein Ordner angegeben.");
    return {};
}
