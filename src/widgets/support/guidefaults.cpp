// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
// What the widgets layer gives the layers below it when it loads: the application's real
// pointer for the busy pointer, and message boxes for alerts.
#include "widgets/support/guidefaults.h"

#include "core/host/busypointer.h"
#include "core/language/languagestate.h"
#include "core/language/qttranslations.h"
#include "core/text/texts.h"

#include <NxSerialFilter/nxalert.h>

#include <QApplication>
#include <QCursor>
#include <QMessageBox>
#include <QPushButton>

namespace NxSerialFilter {

namespace {

bool haveGui()
{
    return qobject_cast<QGuiApplication *>(QCoreApplication::instance()) != nullptr;
}

class MessageBoxPresenter : public AlertPresenter
{
public:
    int present(const QString &message, int style, const QString &title) override
    {
        if (!qobject_cast<QApplication *>(QCoreApplication::instance()))
            return nxAlert::windowlessAnswer(style);
        const QtTranslations::Shown shown; // the buttons speak the component's language
        QMessageBox box(QApplication::activeWindow());
        box.setWindowTitle(title);
        box.setText(message);
        switch (style & 0xF0) {
        case 16:
            box.setIcon(QMessageBox::Critical);
            break;
        case 32:
            box.setIcon(QMessageBox::Question);
            break;
        case 48:
            box.setIcon(QMessageBox::Warning);
            break;
        case 64:
            box.setIcon(QMessageBox::Information);
            break;
        default:
            break;
        }
        if (style == nxAlert::SaveDiscardStay) {
            // The buttons say what they do, with their keys, in the component's language.
            QPushButton *save =
                box.addButton(Language::text(Texts::saveChanges()), QMessageBox::AcceptRole);
            QPushButton *discard = box.addButton(Language::text(Texts::discardChanges()),
                                                 QMessageBox::DestructiveRole);
            QPushButton *stay =
                box.addButton(Language::text(Texts::stayWithChanges()), QMessageBox::RejectRole);
            box.setDefaultButton(save);
            box.setEscapeButton(stay);
            box.exec();
            if (box.clickedButton() == save)
                return nxAlert::AnswerYes;
            return box.clickedButton() == discard ? nxAlert::AnswerNo : nxAlert::AnswerCancel;
        }
        switch (style & 0x0F) {
        case 1:
            box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
            break;
        case 3:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
            break;
        case 4:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            break;
        default:
            box.setStandardButtons(QMessageBox::Ok);
            break;
        }
        switch (box.exec()) {
        case QMessageBox::Yes:
            return nxAlert::AnswerYes;
        case QMessageBox::No:
            return nxAlert::AnswerNo;
        case QMessageBox::Cancel:
            return nxAlert::AnswerCancel;
        default:
            return nxAlert::AnswerOk;
        }
    }
};

const bool filed = [] {
    BusyPointer::Cursor cursor;
    cursor.setWait = [] {
        if (haveGui())
            QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    };
    cursor.restoreOne = [] {
        if (haveGui())
            QGuiApplication::restoreOverrideCursor();
    };
    cursor.anySet = [] { return haveGui() && QGuiApplication::overrideCursor() != nullptr; };
    BusyPointer::setCursor(cursor);
    nxAlert::setDefaultPresenter([] { return std::make_shared<MessageBoxPresenter>(); });
    return true;
}();

} // namespace

bool guiDefaultsFiled()
{
    return filed;
}

} // namespace NxSerialFilter
