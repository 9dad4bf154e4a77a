// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include "core/language/qttranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QPointer>
#include <QThread>
#include <QTranslator>

namespace NxSerialFilter::QtTranslations {

namespace {

/// Qt's file for a language code; none for the languages Qt speaks without one.
QString fileFor(const QString &language)
{
    const QLocale locale = localeFor(language);
    if (locale.language() != QLocale::Chinese)
        return {};
    return QStringLiteral("qtbase_") + locale.name();
}

struct State
{
    QString wanted; // the file of the noted language
    int shownCount = 0;
    QPointer<QCoreApplication> application;
    QString installedFile;
    QPointer<QTranslator> translator; // owned by the application
};

State &state()
{
    static State s;
    return s;
}

QCoreApplication *applicationHere()
{
    QCoreApplication *application = QCoreApplication::instance();
    if (!application || application->thread() != QThread::currentThread())
        return nullptr; // the translator belongs to the application's thread
    return application;
}

void apply(QCoreApplication *application)
{
    State &s = state();
    const QString file = s.shownCount > 0 ? s.wanted : QString();
    // Installing posts a language change to every widget: only a real change is worth it.
    if (s.application == application && s.installedFile == file)
        return;
    delete s.translator; // a deleted translator removes itself from the application
    s.application = application;
    s.installedFile = file;
    if (file.isEmpty())
        return;
    auto *translator = new QTranslator(application);
    if (translator->load(file, QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(translator);
        s.translator = translator;
    } else {
        delete translator;
    }
}

} // namespace

void follow(const QString &language)
{
    QCoreApplication *application = applicationHere();
    if (!application)
        return;
    state().wanted = fileFor(language);
    apply(application);
}

bool count(int change)
{
    QCoreApplication *application = applicationHere();
    // A window counted in is counted out, also when the application went meanwhile.
    if (!application && change > 0)
        return false;
    state().shownCount += change;
    if (application)
        apply(application);
    return true;
}

} // namespace NxSerialFilter::QtTranslations
