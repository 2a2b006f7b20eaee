#pragma once
// The language reference window "Hilfe": one page listing the functions and
// environment values the current sandbox offers, one page with the operators
// and types of the language. Both pages are generated, never hand-written, so
// a sandbox documents its built-ins simply by declaring them.
#include <QList>
#include <QString>
#include <QWidget>

class QAction;
class QTabWidget;
class QTextEdit;
class QTextCursor;
class TKeloSandBox;

// One built-in as the reference shows it.
struct THelpFunction
{
    QString name;
    QString parameters; // the parameter list's caption, empty without parameters
    QString returnType; // script name of the return type
    QString comment;    // the help text
    int parameterCount = 0;

    // name, parameters, ": " and the return type, as a function's caption reads
    QString caption() const;
    // Listed with the environment values rather than the functions.
    bool isEnvironmentValue() const;
};

class TFrmKeloHelp : public QWidget
{
    Q_OBJECT
public:
    explicit TFrmKeloHelp(QWidget *parent = nullptr);

    // Fills both pages from the sandbox's built-ins; called once after creation.
    void Load(TKeloSandBox &sb);

    // Page writers, public so that any list of built-ins can be shown.
    static void WriteFunctionsPage(QTextCursor &cur, const QList<THelpFunction> &functions);
    static void WriteSyntaxPage(QTextCursor &cur);
    // The built-ins a fresh program holds once the sandbox has declared its own.
    static QList<THelpFunction> CollectFunctions(TKeloSandBox &sb);

    QTabWidget *pctrl = nullptr;
    QWidget *tsFunctions = nullptr;
    QTextEdit *rvFunctions = nullptr;
    QWidget *tsSyntax = nullptr;
    QTextEdit *rvSyntax = nullptr;
    QAction *AcClose1 = nullptr;
    QAction *AcClose2 = nullptr;

protected:
    void showEvent(QShowEvent *event) override;

private:
    QTextEdit *createPage(QWidget *&page, const QString &caption);
    void createActions();
    void AcClose1Execute();

    bool centred = false;
};
