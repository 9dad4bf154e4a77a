// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include "qttranslations.h"

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
    const QString code = language.trimmed().toLower();
    // The component shows its Chinese texts when the context names no language.
    if (code.isEmpty() || code == QLatin1String("chs"))
        return QStringLiteral("qtbase_zh_CN");
    if (code == QLatin1String("cht"))
        return QStringLiteral("qtbase_zh_TW");
    return {};
}

struct Installed
{
    QPointer<QCoreApplication> application;
    QString file;
    QPointer<QTranslator> translator; // owned by the application
};

Installed &installed()
{
    static Installed s;
    return s;
}

} // namespace

void follow(const QString &language)
{
    QCoreApplication *application = QCoreApplication::instance();
    if (!application || application->thread() != QThread::currentThread())
        return; // the translator belongs to the application's thread
    Installed &current = installed();
    const QString file = fileFor(language);
    // Installing posts a language change to every widget: only a real change is worth it.
    if (current.application == application && current.file == file)
        return;
    delete current.translator; // a deleted translator removes itself from the application
    current.application = application;
    current.file = file;
    if (file.isEmpty())
        return;
    auto *translator = new QTranslator(application);
    if (translator->load(file, QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(translator);
        current.translator = translator;
    } else {
        delete translator;
    }
}

} // namespace NxSerialFilter::QtTranslations
