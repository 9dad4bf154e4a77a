// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include "nxalert.h"

#include "mparse.h"
#include "texts.h"

#include <QApplication>
#include <QMessageBox>

namespace NxSerialFilter {

AlertPresenter::~AlertPresenter() = default;

namespace {

class MessageBoxPresenter : public AlertPresenter
{
public:
    int present(const QString &message, int style, const QString &title) override
    {
        if (!qobject_cast<QApplication *>(QCoreApplication::instance()))
            return nxAlert::windowlessAnswer(style);
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

std::shared_ptr<AlertPresenter> &currentPresenter()
{
    static std::shared_ptr<AlertPresenter> p = std::make_shared<MessageBoxPresenter>();
    return p;
}

} // namespace

namespace nxAlert {

int normaliseStyle(int style)
{
    switch (style) {
    case 32:
    case 33:
    case 35:
    case 36:
        return Question;
    default:
        return style;
    }
}

int windowlessAnswer(int style)
{
    // Nobody can be asked: a question is refused, so nothing is overwritten or deleted unseen.
    return normaliseStyle(style) == Question ? AnswerNo : AnswerOk;
}

int ShowAlert(const QString &message, int style)
{
    const int shown = normaliseStyle(style);
    const QString title = MParse::LoadLangString(Texts::alertTitle());
    return currentPresenter()->present(message, shown, title);
}

void setPresenter(std::shared_ptr<AlertPresenter> p)
{
    currentPresenter() = p ? std::move(p) : std::make_shared<MessageBoxPresenter>();
}

std::shared_ptr<AlertPresenter> presenter()
{
    return currentPresenter();
}

} // namespace nxAlert
} // namespace NxSerialFilter
