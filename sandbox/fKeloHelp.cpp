#include "sandbox/fKeloHelp.h"

#include "sandbox/uKeloSandbox.h"
#include "script/uKeloCode.h"

#include <QAction>
#include <QFont>
#include <QTabWidget>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextEdit>
#include <QVBoxLayout>
#include <algorithm>

namespace {

enum class TRun { Plain, Bold, Italic, BoldUnderlined };

QTextCharFormat runFormat(TRun run)
{
    QTextCharFormat f;
    f.setFontWeight(run == TRun::Bold || run == TRun::BoldUnderlined ? QFont::Bold : QFont::Normal);
    f.setFontItalic(run == TRun::Italic);
    f.setFontUnderline(run == TRun::BoldUnderlined);
    return f;
}

void write(QTextCursor &cur, const QString &text, TRun run) { cur.insertText(text, runFormat(run)); }

// A line break keeps whatever style the text before it had.
void lineBreak(QTextCursor &cur) { cur.insertBlock(); }

void heading(QTextCursor &cur, const QString &text, TRun run)
{
    write(cur, text, run);
    lineBreak(cur);
}

void operatorLine(QTextCursor &cur, const QString &symbol, const QString &meaning)
{
    write(cur, symbol, TRun::Bold);
    write(cur, meaning, TRun::Plain);
    lineBreak(cur);
}

void operatorLine(QTextCursor &cur, const QString &symbol, const QString &type, const QString &meaning)
{
    write(cur, symbol, TRun::Bold);
    write(cur, type, TRun::Italic);
    write(cur, meaning, TRun::Plain);
    lineBreak(cur);
}

void typeLine(QTextCursor &cur, const QString &name, const QString &rest)
{
    write(cur, name, TRun::Bold);
    write(cur, rest, TRun::Plain);
    lineBreak(cur);
}

void functionLine(QTextCursor &cur, const THelpFunction &f, const QString &rest)
{
    write(cur, " " + f.name + f.parameters + ": ", TRun::Bold);
    write(cur, f.returnType, TRun::Italic);
    write(cur, "   " + rest, TRun::Plain);
    lineBreak(cur);
}

void valueLine(QTextCursor &cur, const THelpFunction &f, const QString &rest)
{
    write(cur, f.returnType, TRun::Italic);
    write(cur, " " + f.name, TRun::Bold);
    write(cur, "   " + rest, TRun::Plain);
    lineBreak(cur);
}

int widestCaption(const QList<THelpFunction> &functions)
{
    qsizetype w = 0;
    for (const THelpFunction &f : functions)
        w = std::max(w, f.caption().size());
    return int(w);
}

// Padding after a caption, so that every help text of a section starts in one column.
QString alignedComment(const THelpFunction &f, int width)
{
    return QString(width - f.caption().size(), QLatin1Char(' ')) + f.comment;
}

using TLineWriter = void (*)(QTextCursor &, const THelpFunction &, const QString &);

void writeSection(QTextCursor &cur, const QList<THelpFunction> &section, TLineWriter line)
{
    const int width = widestCaption(section);
    for (const THelpFunction &f : section)
        line(cur, f, alignedComment(f, width));
}

} // namespace

QString THelpFunction::caption() const { return name + parameters + ": " + returnType; }

bool THelpFunction::isEnvironmentValue() const { return parameterCount == 0 && returnType != TypeNames[TType::void_]; }

TFrmKeloHelp::TFrmKeloHelp(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setWindowTitle("Hilfe");
    QFont ui("Tahoma");
    ui.setPixelSize(13);
    setFont(ui);
    resize(782, 562);

    pctrl = new QTabWidget(this);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(pctrl);
    rvFunctions = createPage(tsFunctions, "Funktionen");
    rvSyntax = createPage(tsSyntax, "Syntax");
    pctrl->setCurrentIndex(0);
    pctrl->setDocumentMode(true);
    createActions();
}

QTextEdit *TFrmKeloHelp::createPage(QWidget *&page, const QString &caption)
{
    page = new QWidget(pctrl);
    auto *view = new QTextEdit(page);
    auto *layout = new QVBoxLayout(page);
    layout->setContentsMargins(3, 3, 3, 3);
    layout->addWidget(view);
    view->setReadOnly(true);
    view->setAccessibleName(caption); // screen readers name the page's text by its tab
    view->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    view->setLineWrapMode(QTextEdit::NoWrap);
    view->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    view->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    QFont fixed("Courier New");
    fixed.setStyleHint(QFont::TypeWriter);
    fixed.setPixelSize(13);
    view->document()->setDefaultFont(fixed);
    pctrl->addTab(page, caption);
    return view;
}

void TFrmKeloHelp::createActions()
{
    AcClose1 = new QAction(this);
    AcClose1->setShortcut(Qt::Key_F1);
    AcClose2 = new QAction(this);
    AcClose2->setShortcut(Qt::Key_Escape);
    for (QAction *a : {AcClose1, AcClose2}) {
        a->setShortcutContext(Qt::WindowShortcut);
        addAction(a);
        connect(a, &QAction::triggered, this, &TFrmKeloHelp::AcClose1Execute);
    }
}

void TFrmKeloHelp::AcClose1Execute() { hide(); }

void TFrmKeloHelp::showEvent(QShowEvent *event)
{
    // Centred on the main window the first time only; afterwards it stays where the user put it.
    if (!centred && parentWidget()) {
        const QRect owner = parentWidget()->window()->frameGeometry();
        move(owner.center() - rect().center());
        centred = true;
    }
    QWidget::showEvent(event);
}

void TFrmKeloHelp::Load(TKeloSandBox &sb)
{
    rvFunctions->clear();
    QTextCursor functions(rvFunctions->document());
    WriteFunctionsPage(functions, CollectFunctions(sb));
    rvFunctions->moveCursor(QTextCursor::Start);

    rvSyntax->clear();
    QTextCursor syntax(rvSyntax->document());
    WriteSyntaxPage(syntax);
    rvSyntax->moveCursor(QTextCursor::Start);
}

void TFrmKeloHelp::WriteFunctionsPage(QTextCursor &cur, const QList<THelpFunction> &functions)
{
    QList<THelpFunction> plain, environment;
    for (const THelpFunction &f : functions)
        (f.isEnvironmentValue() ? environment : plain).append(f);

    heading(cur, "Funktionen:", TRun::BoldUnderlined);
    lineBreak(cur);
    writeSection(cur, plain, functionLine);
    lineBreak(cur);
    heading(cur, "Umgebungsvariablen:", TRun::BoldUnderlined);
    lineBreak(cur);
    writeSection(cur, environment, valueLine);
}

void TFrmKeloHelp::WriteSyntaxPage(QTextCursor &cur)
{
    heading(cur, "Vergleichsoperatoren:", TRun::BoldUnderlined);
    lineBreak(cur);
    operatorLine(cur, "<=  ", "kleiner gleich");
    operatorLine(cur, ">=  ", "grösser gleich");
    operatorLine(cur, "==  ", "gleich");
    // The language writes inequality as "!="; "<>" is refused by the parser.
    operatorLine(cur, "!=  ", "ungleich");
    operatorLine(cur, "<   ", "kleiner");
    operatorLine(cur, ">   ", "grösser");

    lineBreak(cur);
    heading(cur, "Operatoren:", TRun::BoldUnderlined);
    lineBreak(cur);
    operatorLine(cur, "+   ", "int   ", "Addition / Stringkonkat");
    operatorLine(cur, "-   ", "int   ", "Substraktion");
    operatorLine(cur, "*   ", "int   ", "Multiplikation");
    operatorLine(cur, "/   ", "float ", "Division");
    operatorLine(cur, "div ", "int   ", "ganzzahlige Division");
    operatorLine(cur, "%   ", "int   ", "Restdivision");
    operatorLine(cur, "or  ", "bool  ", "oder");
    operatorLine(cur, "and ", "bool  ", "und");
    operatorLine(cur, "not ", "bool  ", "unäreres nicht");

    lineBreak(cur);
    heading(cur, "Operatoren sind nach Bindung aufsteigend sortiert", TRun::Italic);
    lineBreak(cur);
    heading(cur, "Typen:", TRun::BoldUnderlined);
    lineBreak(cur);
    qsizetype longest = 0;
    for (const QString &name : TypeNames)
        longest = std::max(longest, name.size());
    for (int t = 0; t < TypeNames.size(); ++t) {
        const QString pad(longest + 1 - TypeNames[t].size(), QLatin1Char(' '));
        typeLine(cur, TypeNames[t], pad + TypeDomains[t]);
    }

    lineBreak(cur);
    heading(cur, "Blöcke:", TRun::BoldUnderlined);
    lineBreak(cur);
    // Keywords stand first on their own lines, in any letter case; the forms are padded to one column.
    const std::pair<QString, QString> blocks[] = {
        {"if (b) ... elseif (b) ... else ... endif", "Verzweigung, elseif und else nach Bedarf"},
        {"while (b) ... endwhile", "Schleife, solange b wahr ist"},
        {"function f(ref int c): int ... endfunction", "result: Rückgabewert, ref: Variable des Aufrufers"},
        {"// Text", "Kommentar bis zum Zeilenende"},
    };
    qsizetype widest = 0;
    for (const auto &[form, meaning] : blocks)
        widest = std::max(widest, form.size());
    for (const auto &[form, meaning] : blocks)
        operatorLine(cur, form.leftJustified(widest + 2), meaning);
}

QList<THelpFunction> TFrmKeloHelp::CollectFunctions(TKeloSandBox &sb)
{
    TProgram scratch;
    sb.AddFunctions(&scratch);
    QList<THelpFunction> result;
    const TFunctionList &functions = scratch.FunctionList();
    for (int i = 0; i < functions.Count(); ++i) {
        const TFunction *f = functions[i];
        THelpFunction h;
        h.name = f->Name();
        h.parameters = f->Parameter().Caption();
        h.returnType = TypeNames[f->ReturnType()];
        h.comment = f->Comment();
        h.parameterCount = f->Parameter().Count();
        result.append(h);
    }
    return result;
}
