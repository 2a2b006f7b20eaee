// The modal seam of the windows for tests: records every request and answers
// from prepared scripts, so that no test can hang on a modal dialog.
#pragma once

#include "ide/uDialogs.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

class TScriptedDialogs final : public TDialogs
{
public:
    struct TShown
    {
        TDlgKind kind;
        QString title;
        QString text;
    };
    QList<TShown> shown;                        // messages and questions, in order
    QStringList requests;                       // every request, e.g. "open <folder> <filter>"
    QList<TDlgAnswer> answers;                  // for ask(), consumed in order
    TDlgAnswer unanswered = TDlgAnswer::Cancel; // ask() once answers are used up
    QList<TDlgAnswer> replaceAnswers;           // for confirmReplace(), consumed in order
    QStringList replaceQuestions;               // texts confirmReplace() was asked about
    QString openName, saveName;                 // chosen file names ("" = cancelled)
    QString saveChosenFilter;                   // "" = the first one offered
    QString saveFilter, openFolder;
    int saveDialogs = 0;
    // Fills the search dialog; returns whether it is confirmed with OK.
    std::function<bool(TTextSearchDialog &)> searchDialog;

    void message(QWidget *, TDlgKind kind, const QString &title, const QString &text) override
    {
        requests.append(QStringLiteral("message: ") + text);
        shown.append({kind, title, text});
    }
    TDlgAnswer ask(QWidget *, TDlgKind kind, const QString &title, const QString &text,
                   const QList<TDlgAnswer> &) override
    {
        requests.append(QStringLiteral("ask"));
        shown.append({kind, title, text});
        return answers.isEmpty() ? unanswered : answers.takeFirst();
    }
    QString openFileName(QWidget *, const QString &, const QString &folder, const QString &filter) override
    {
        requests.append(QStringLiteral("open ") + folder + ' ' + filter);
        openFolder = folder;
        return openName;
    }
    QString saveFileName(QWidget *parent, const QString &caption, const QString &folder, const QString &filter,
                         const QString &) override
    {
        return saveFileChoice(parent, caption, folder, filter).path;
    }
    TSaveChoice saveFileChoice(QWidget *, const QString &, const QString &folder, const QString &filter) override
    {
        requests.append(QStringLiteral("save ") + folder + ' ' + filter);
        ++saveDialogs;
        saveFilter = filter;
        return {saveName, saveChosenFilter.isEmpty() ? filter.section(";;", 0, 0) : saveChosenFilter};
    }
    bool execSearchDialog(TTextSearchDialog &dialog) override { return searchDialog && searchDialog(dialog); }
    TDlgAnswer confirmReplace(const QRect &, int, int, int, const QString &text) override
    {
        replaceQuestions.append(text);
        return replaceAnswers.isEmpty() ? TDlgAnswer::Cancel : replaceAnswers.takeFirst();
    }
    QStringList texts() const
    {
        QStringList list;
        for (const TShown &s : shown)
            list.append(s.text);
        return list;
    }
    QList<TDlgKind> kinds() const
    {
        QList<TDlgKind> list;
        for (const TShown &s : shown)
            list.append(s.kind);
        return list;
    }
};
