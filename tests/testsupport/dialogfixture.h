// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

// The filter dialog over a test store, for the tests of the widgets layer.

#include "testsupport/descriptions.h"
#include "testsupport/storefixture.h"
#include "widgets/dialog/frmfilter.h"

#include <QApplication>
#include <QTest>

#include <memory>

namespace NxSerialFilter::Testing {

/// The filter dialog in common mode with the standard fields on a screen, loaded and shown.
inline std::unique_ptr<frmFilter> openCommonDialog(const QString &screen)
{
    auto form = std::make_unique<frmFilter>();
    form->setSerialUse(false);
    form->setCommonField(standardCommonValues(screen));
    form->setScreenID(screen);
    form->Form_Load();
    form->show();
    return form;
}

/// The offscreen platform activates every window it shows, a pop-up list too, and does so
/// after the list has closed: the form gets back the activation that a window manager would
/// never have taken from it.
inline bool settleAfterPopup(QWidget *form)
{
    QCoreApplication::processEvents();
    if (QApplication::activeWindow() != form->window())
        form->activateWindow();
    return QTest::qWaitForWindowActive(form);
}

/// Ends typing in a field cell with Enter, sent where the keyboard sends it: to the open
/// filtered list, else to the focus.
inline bool enterTypedField(QWidget *form)
{
    QWidget *popup = QApplication::activePopupWidget();
    QTest::keyClick(popup ? popup : QApplication::focusWidget(), Qt::Key_Return);
    return settleAfterPopup(form);
}

} // namespace NxSerialFilter::Testing
