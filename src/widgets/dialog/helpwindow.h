// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include <NxSerialFilter/components.h>
#include <NxSerialFilter/nxsf_widgets_export.h>

#include <QPointer>
#include <QString>

#include <QTextBrowser>

namespace NxSerialFilter {

/// The help pages built into the library, one per topic class and language.
namespace HelpPages {
/// The page for a topic in a language code ("en", "chs", ...): the Chinese page when the
/// language has none, the empty text when the topic has no page at all.
NXSF_WIDGETS_AUTOTEST_EXPORT QString pagePath(const QString &topicClass, const QString &language);
/// The topic shown for a topic class that has no page of its own.
NXSF_WIDGETS_AUTOTEST_EXPORT QString defaultTopic();
} // namespace HelpPages

/// F1 in the dialog: the help component, made once per process and kept, so that its window
/// is reused.
namespace HelpKey {
/// Opens help for the topic when keyCode is F1 (112); the other arguments as
/// HelpComponent::ShowHELP takes them. Failures of the help component reach the caller.
void show(qint32 keyCode, qint32 first, const QString &topicClass, qint32 serialFlag,
          const QString &subSystemId, qint32 last);
/// Drops the help component kept by show (for hosts that reload the component).
NXSF_WIDGETS_AUTOTEST_EXPORT void release();
} // namespace HelpKey

/// The default help component: shows the page of a topic class in a help window of its own,
/// in the language of the context. The window is reused by later calls and stays usable
/// beside a modal dialog.
class NXSF_WIDGETS_AUTOTEST_EXPORT HelpWindowComponent : public HelpComponent
{
public:
    ~HelpWindowComponent() override;

    void ShowHELP(qint32 &first, qint16 second, QString &topicClass, qint32 &serialFlag,
                  QString &subSystemId, qint32 &last) override;

    /// The help window, once ShowHELP has opened it.
    QTextBrowser *window() const { return m_window; }

private:
    QPointer<QTextBrowser> m_window;
};

} // namespace NxSerialFilter
