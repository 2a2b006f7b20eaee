// Reading a task file: line by line with the INI reader's rules, so that
// every mistake can name its line.
#include "sheep/uTask.h"

#include "base/uIniFile.h"
#include "script/uKeloTypes.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>

#include <functional>
#include <limits>
#include <map>

namespace {

// Task files are short texts; anything larger is no task.
constexpr qint64 kMaxTaskFileBytes = 1 << 20;
constexpr int kMaxWorlds = 99;
constexpr int kMaxCell = 999;
constexpr int kMaxSheepSteps = std::numeric_limits<int>::max();

enum class TSection { None, Task, Text, World, Goal, Unknown };

// A key's reader: takes the value, or returns what is wrong with it.
using TKeyReader = std::function<QString(const QString &value)>;

bool readNumber(const QString &text, qint64 lowest, qint64 highest, qint64 &number)
{
    bool ok = false;
    const qint64 value = text.trimmed().toLongLong(&ok);
    if (!ok || value < lowest || value > highest)
        return false;
    number = value;
    return true;
}

QString rangeProblem(const QString &key, qint64 lowest, qint64 highest)
{
    return QStringLiteral("%1 muss eine ganze Zahl von %2 bis %3 sein.")
        .arg(key, QString::number(lowest), QString::number(highest));
}

// "9|9" (blanks allowed around the numbers).
bool readCell(const QString &text, QPoint &cell)
{
    static const QRegularExpression shape(QStringLiteral("^\\s*(\\d{1,3})\\s*\\|\\s*(\\d{1,3})\\s*$"));
    const QRegularExpressionMatch match = shape.match(text);
    if (!match.hasMatch())
        return false;
    cell = QPoint(match.captured(1).toInt(), match.captured(2).toInt());
    return true;
}

QString cellProblem(const QString &text)
{
    return QStringLiteral("\"%1\" ist kein Feld; ein Feld wird als Spalte|Zeile geschrieben, z. B. 9|9 "
                          "(jeweils 0 bis %2).")
        .arg(text.trimmed(), QString::number(kMaxCell));
}

bool readHeading(const QString &text, TDirection &heading)
{
    static const QList<QPair<QString, TDirection>> names = {
        {QStringLiteral("Norden"), tdNorth}, {QStringLiteral("Osten"), tdEast},  {QStringLiteral("Süden"), tdSouth},
        {QStringLiteral("Sueden"), tdSouth}, {QStringLiteral("Westen"), tdWest},
    };
    for (const auto &[name, dir] : names)
        if (text.trimmed().compare(name, Qt::CaseInsensitive) == 0) {
            heading = dir;
            return true;
        }
    return false;
}

bool readYesNo(const QString &text, bool &yes)
{
    const QString word = text.trimmed().toLower();
    yes = word == QStringLiteral("ja");
    return yes || word == QStringLiteral("nein");
}

class TTaskReader
{
public:
    TTaskReader(const QString &path, TTask &task, QStringList &warnings)
        : iTask(task), iWarnings(warnings), iName(QFileInfo(path).fileName())
    {
        iTask = TTask();
        iTask.FilePath = QFileInfo(path).absoluteFilePath();
        iFolder = QFileInfo(iTask.FilePath).absoluteDir().canonicalPath();
    }

    bool read(QString &error)
    {
        if (!readLines())
            return report(error);
        for (int i = 0; i < iLines.size(); ++i)
            if (!readLine(i + 1, iLines[i]))
                return report(error);
        if (!finish())
            return report(error);
        return true;
    }

private:
    bool report(QString &error)
    {
        error = iError;
        return false;
    }

    bool failFile(const QString &what)
    {
        iError = QStringLiteral("Fehler in der Aufgabe \"%1\": %2").arg(iName, what);
        return false;
    }

    bool fail(int line, const QString &what)
    {
        iError = QStringLiteral("Fehler in der Aufgabe \"%1\", Zeile %2: %3").arg(iName, QString::number(line), what);
        return false;
    }

    void warn(int line, const QString &what)
    {
        iWarnings.append(
            QStringLiteral("Warnung zur Aufgabe \"%1\", Zeile %2: %3").arg(iName, QString::number(line), what));
    }

    bool readLines()
    {
        const QFileInfo info(iTask.FilePath);
        if (!info.exists())
            return failFile(QStringLiteral("Die Datei gibt es nicht."));
        if (!info.isFile())
            return failFile(QStringLiteral("Das ist keine Datei."));
        if (info.size() > kMaxTaskFileBytes)
            return failFile(QStringLiteral("Die Datei ist zu groß für eine Aufgabe (mehr als 1 MB)."));
        const TIniFile ini(iTask.FilePath);
        if (!ini.Unreadable().isEmpty())
            return failFile(ini.Unreadable());
        iLines = ini.Lines();
        return true;
    }

    bool readLine(int number, const QString &line)
    {
        if (IsIniSectionHeader(line))
            return enterSection(number, IniSectionName(line));
        if (iSection == TSection::Text) {
            iTask.Description.append(line);
            return true;
        }
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(u';'))
            return true;
        const QString key = IniKeyOf(line);
        if (key.isEmpty())
            return fail(
                number,
                QStringLiteral("Diese Zeile ist weder ein [Abschnitt] noch Schlüssel=Wert: \"%1\"").arg(trimmed));
        if (iSection == TSection::None)
            return fail(number, QStringLiteral("\"%1\" steht vor dem ersten Abschnitt; die Aufgabe beginnt mit "
                                               "[Aufgabe].")
                                    .arg(key));
        return readEntry(number, key, IniValueOf(line));
    }

    bool enterSection(int number, const QString &name)
    {
        const QString lower = name.toLower();
        if (const auto seen = iSectionLines.constFind(lower); seen != iSectionLines.constEnd())
            return fail(number, QStringLiteral("Der Abschnitt [%1] steht doppelt (zuerst in Zeile %2).")
                                    .arg(name, QString::number(*seen)));
        iSectionLines.insert(lower, number);
        iSectionName = name;
        iSection = sectionOf(lower);
        switch (iSection) {
        case TSection::Task:
            iTaskLine = number;
            break;
        case TSection::Goal:
            iGoalLine = number;
            break;
        case TSection::World:
            return enterWorld(number, lower.mid(4).toInt());
        case TSection::Unknown:
            warn(number, QStringLiteral("Den Abschnitt [%1] kennt Grazlo nicht; er wird übergangen.").arg(name));
            break;
        default:
            break;
        }
        return true;
    }

    static TSection sectionOf(const QString &lower)
    {
        static const QRegularExpression world(QStringLiteral("^welt\\d+$"));
        if (lower == QStringLiteral("aufgabe"))
            return TSection::Task;
        if (lower == QStringLiteral("text"))
            return TSection::Text;
        if (lower == QStringLiteral("ziel"))
            return TSection::Goal;
        return world.match(lower).hasMatch() ? TSection::World : TSection::Unknown;
    }

    bool enterWorld(int number, int world)
    {
        if (world < 1 || world > kMaxWorlds)
            return fail(number, QStringLiteral("Welten werden von [Welt1] bis [Welt%1] gezählt.").arg(kMaxWorlds));
        iWorld = world;
        iWorlds[world].HeaderLine = number;
        return true;
    }

    bool readEntry(int number, const QString &key, const QString &value)
    {
        if (iSection == TSection::Unknown)
            return true;
        const QString where = iSectionName.toLower() + u'/' + key.toLower();
        if (const auto seen = iKeyLines.constFind(where); seen != iKeyLines.constEnd())
            return fail(number, QStringLiteral("Der Schlüssel %1 steht doppelt (zuerst in Zeile %2).")
                                    .arg(key, QString::number(*seen)));
        iKeyLines.insert(where, number);
        const QHash<QString, TKeyReader> readers = keyReaders(number);
        const auto reader = readers.constFind(key.toLower());
        if (reader == readers.constEnd()) {
            warn(number, QStringLiteral("Den Schlüssel %1 in [%2] kennt Grazlo nicht; er wird übergangen.")
                             .arg(key, iSectionName));
            return true;
        }
        const QString problem = (*reader)(value);
        return problem.isEmpty() || fail(number, problem);
    }

    QHash<QString, TKeyReader> keyReaders(int number)
    {
        switch (iSection) {
        case TSection::Task:
            return taskKeys();
        case TSection::World:
            return worldKeys(number);
        case TSection::Goal:
            return goalKeys();
        default:
            return {};
        }
    }

    QHash<QString, TKeyReader> taskKeys()
    {
        TTask &t = iTask;
        return {
            {QStringLiteral("titel"),
             [&t](const QString &v) {
                 t.Title = v.trimmed();
                 return t.Title.isEmpty() ? QStringLiteral("Der Titel ist leer.") : QString();
             }},
            {QStringLiteral("vorlage"), [this](const QString &v) { return fileInFolder(v, iTask.Starter); }},
            {QStringLiteral("musterloesung"), [this](const QString &v) { return fileInFolder(v, iTask.Reference); }},
            {QStringLiteral("startwerte"),
             [&t](const QString &v) {
                 qint64 seeds = 0;
                 if (!readNumber(v, 1, TTask::MaxSeeds, seeds))
                     return rangeProblem(QStringLiteral("Startwerte"), 1, TTask::MaxSeeds);
                 t.Seeds = quint32(seeds);
                 return QString();
             }},
            {QStringLiteral("schrittlimit"),
             [&t](const QString &v) {
                 if (!readNumber(v, 1, std::numeric_limits<qint64>::max(), t.MaxSteps))
                     return QStringLiteral("Schrittlimit muss eine ganze Zahl größer als 0 sein.");
                 return QString();
             }},
            {QStringLiteral("zeitlimit"),
             [&t](const QString &v) {
                 bool failed = false;
                 const double seconds = ValueToFloat(v.trimmed(), failed);
                 if (failed || !(seconds >= 1 && seconds <= 86400))
                     return QStringLiteral("Zeitlimit muss eine Zahl von 1 bis 86400 (Sekunden) sein.");
                 t.TimeoutSeconds = seconds;
                 return QString();
             }},
        };
    }

    QHash<QString, TKeyReader> worldKeys(int number)
    {
        TWorldEntry &entry = iWorlds[iWorld];
        const auto once = [&entry, number]() {
            const bool first = entry.KindLine == 0;
            if (first)
                entry.KindLine = number;
            return first ? QString()
                         : QStringLiteral("Eine Welt ist entweder ein Level oder ein Rasen (schon in Zeile %1).")
                               .arg(entry.KindLine);
        };
        return {
            {QStringLiteral("level"),
             [&entry, once](const QString &v) {
                 qint64 level = 0;
                 if (!readNumber(v, 1, 6, level))
                     return rangeProblem(QStringLiteral("Level"), 1, 6);
                 entry.World.Level = int(level);
                 entry.World.Label = QStringLiteral("Level %1").arg(level);
                 return once();
             }},
            {QStringLiteral("rasen"),
             [this, &entry, once](const QString &v) {
                 const QString problem = fileInFolder(v, entry.World.LawnFile);
                 if (!problem.isEmpty())
                     return problem;
                 entry.World.Label = QDir(iFolder).relativeFilePath(entry.World.LawnFile);
                 return once();
             }},
        };
    }

    QHash<QString, TKeyReader> goalKeys()
    {
        TTaskGoals &g = iTask.Goals;
        return {
            {QStringLiteral("gemaeht"),
             [&g](const QString &v) {
                 return readYesNo(v, g.AllMown) ? QString() : QStringLiteral("Gemaeht ist ja oder nein.");
             }},
            {QStringLiteral("endfeld"),
             [&g](const QString &v) {
                 QPoint cell;
                 if (!readCell(v, cell))
                     return cellProblem(v);
                 g.EndCell = cell;
                 return QString();
             }},
            {QStringLiteral("blickrichtung"),
             [&g](const QString &v) {
                 TDirection heading = tdNorth;
                 if (!readHeading(v, heading))
                     return QStringLiteral("Blickrichtung ist Norden, Osten, Süden oder Westen.");
                 g.EndHeading = heading;
                 return QString();
             }},
            {QStringLiteral("maxschritte"),
             [&g](const QString &v) {
                 qint64 steps = 0;
                 if (!readNumber(v, 0, kMaxSheepSteps, steps))
                     return rangeProblem(QStringLiteral("MaxSchritte"), 0, kMaxSheepSteps);
                 g.MaxSheepSteps = int(steps);
                 return QString();
             }},
            {QStringLiteral("markierungen"), [&g](const QString &v) { return readMarks(v, g); }},
            {QStringLiteral("minpunkte"),
             [&g](const QString &v) {
                 qint64 score = 0;
                 if (!readNumber(v, std::numeric_limits<qint64>::min(), std::numeric_limits<qint64>::max(), score))
                     return QStringLiteral("MinPunkte muss eine ganze Zahl sein.");
                 g.MinScore = score;
                 return QString();
             }},
        };
    }

    static QString readMarks(const QString &value, TTaskGoals &goals)
    {
        QList<QPoint> cells;
        if (value.trimmed().compare(QStringLiteral("keine"), Qt::CaseInsensitive) != 0) {
            static const QRegularExpression gaps(QStringLiteral("[\\s,;]+"));
            for (const QString &item : value.split(gaps, Qt::SkipEmptyParts)) {
                QPoint cell;
                if (!readCell(item, cell))
                    return cellProblem(item);
                if (!cells.contains(cell))
                    cells.append(cell);
            }
            if (cells.isEmpty())
                return QStringLiteral("Markierungen ist \"keine\" oder eine Liste von Feldern wie 1|2 3|4.");
        }
        goals.Marks = cells;
        return QString();
    }

    // Resolves a file named relative to the task, which must exist inside
    // the task's folder (also after following links).
    QString fileInFolder(const QString &value, QString &absolute) const
    {
        const QString name = value.trimmed().replace(u'\\', u'/');
        if (name.isEmpty())
            return QStringLiteral("Der Dateiname fehlt.");
        const QString outside =
            QStringLiteral("Die Datei \"%1\" liegt außerhalb des Ordners der Aufgabe; eine Aufgabe darf nur "
                           "Dateien aus ihrem eigenen Ordner nennen.")
                .arg(name);
        if (QDir::isAbsolutePath(name))
            return outside;
        const QString path = QDir::cleanPath(iFolder + u'/' + name);
        if (!path.startsWith(iFolder + u'/'))
            return outside;
        const QFileInfo info(path);
        if (!info.exists())
            return QStringLiteral("Die Datei \"%1\" gibt es nicht.").arg(name);
        if (!info.canonicalFilePath().startsWith(iFolder + u'/'))
            return outside;
        if (!info.isFile())
            return QStringLiteral("\"%1\" ist keine Datei.").arg(name);
        absolute = info.canonicalFilePath();
        return QString();
    }

    bool finish()
    {
        while (!iTask.Description.isEmpty() && iTask.Description.back().trimmed().isEmpty())
            iTask.Description.removeLast();
        while (!iTask.Description.isEmpty() && iTask.Description.front().trimmed().isEmpty())
            iTask.Description.removeFirst();
        if (iTaskLine == 0)
            return failFile(QStringLiteral("Der Abschnitt [Aufgabe] fehlt."));
        if (iTask.Title.isEmpty())
            return fail(iTaskLine, QStringLiteral("In [Aufgabe] fehlt der Titel (Titel=...)."));
        if (iWorlds.empty())
            return failFile(QStringLiteral("Die Aufgabe nennt keine Welt ([Welt1] mit Level=N oder Rasen=DATEI)."));
        for (const auto &[number, entry] : iWorlds) {
            if (entry.KindLine == 0)
                return fail(entry.HeaderLine,
                            QStringLiteral("[Welt%1] nennt weder Level=N noch Rasen=DATEI.").arg(number));
            iTask.Worlds.append(entry.World);
        }
        if (!iTask.Goals.Any())
            return iGoalLine ? fail(iGoalLine, QStringLiteral("[Ziel] nennt kein Ziel."))
                             : failFile(QStringLiteral("Der Abschnitt [Ziel] fehlt; eine Aufgabe braucht "
                                                       "mindestens ein Ziel."));
        return true;
    }

    struct TWorldEntry
    {
        TTaskWorld World;
        int HeaderLine = 0;
        // The line of its Level or Rasen; 0 while it has none.
        int KindLine = 0;
    };

    TTask &iTask;
    QStringList &iWarnings;
    QString iName;
    QString iFolder;
    QStringList iLines;
    QString iError;
    TSection iSection = TSection::None;
    QString iSectionName;
    int iWorld = -1;
    int iTaskLine = 0;
    int iGoalLine = 0;
    QHash<QString, int> iSectionLines;
    QHash<QString, int> iKeyLines;
    std::map<int, TWorldEntry> iWorlds;
};

} // namespace

bool ReadTask(const QString &path, TTask &task, QString &error, QStringList &warnings)
{
    warnings.clear();
    return TTaskReader(path, task, warnings).read(error);
}

bool LoadTaskWorld(const TTaskWorld &world, TField &field, QString &error)
{
    if (world.LawnFile.isEmpty())
        return ApplyLevel(field, world.Level);
    return field.Load(world.LawnFile, error);
}
