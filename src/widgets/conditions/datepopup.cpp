// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include "widgets/conditions/datepopup.h"

#include "core/conditions/valuewords.h"
#include "core/language/languagestate.h"
#include "core/text/texts.h"

#include <QBoxLayout>
#include <QKeyEvent>
#include <QListWidget>
#include <QResizeEvent>
#include <QTableView>

#include <algorithm>

namespace NxSerialFilter {

DatePopup::DatePopup(QWidget *parent)
    : QCalendarWidget(parent)
    , m_words(new QListWidget(this))
{
    setWindowFlags(Qt::Popup);
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("datePicker"));
    for (const RelativeDate &word : RelativeDate::offered())
        m_words->addItem(word.word());
    m_words->setObjectName(QStringLiteral("relativeDates"));
    m_words->setAccessibleName(Language::text(Texts::relativeDates()));
    m_words->setFlow(QListView::LeftToRight);
    m_words->setWrapping(true);
    m_words->setResizeMode(QListView::Adjust);
    // Every word in a cell of one size, so that the rows they need can be counted.
    int widest = 0;
    for (int i = 0; i < m_words->count(); ++i)
        widest =
            std::max(widest, m_words->fontMetrics().horizontalAdvance(m_words->item(i)->text()));
    const QFontMetrics metrics = m_words->fontMetrics();
    m_words->setGridSize({widest + 2 * metrics.averageCharWidth(), metrics.height() + 6});
    m_words->setUniformItemSizes(true);
    m_words->setCurrentRow(0);
    m_words->setFixedHeight(wordsHeight(sizeHint().width()));
    if (auto *box = qobject_cast<QBoxLayout *>(layout()))
        box->addWidget(m_words);
    // A screen reader hears the days' grid named and the day it is on in full, not "5".
    const QString name = Language::text(Texts::a11yCalendar());
    setAccessibleName(name);
    if (auto *days = findChild<QTableView *>())
        days->setAccessibleName(name);
    connect(this, &QCalendarWidget::selectionChanged, this, &DatePopup::describeDay);
}

void DatePopup::describeDay()
{
    const QString day = locale().toString(selectedDate(), QLocale::LongFormat);
    setAccessibleDescription(day);
    if (auto *days = findChild<QTableView *>())
        days->setAccessibleDescription(day);
}

void DatePopup::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QCalendarWidget::keyPressEvent(event);
}

void DatePopup::resizeEvent(QResizeEvent *event)
{
    m_words->setFixedHeight(wordsHeight(event->size().width()));
    QCalendarWidget::resizeEvent(event);
}

void DatePopup::hideEvent(QHideEvent *event)
{
    QCalendarWidget::hideEvent(event);
    // The keys go back to the grid the calendar was opened from.
    if (QWidget *grid = parentWidget(); grid && grid->isVisible())
        grid->setFocus();
}

QSize DatePopup::withWords(QSize days) const
{
    const int spacing = layout() ? std::max(0, layout()->spacing()) : 0;
    return {days.width(), days.height() + wordsHeight(days.width()) + spacing};
}

int DatePopup::wordsHeight(int width) const
{
    const QSize cell = m_words->gridSize();
    if (cell.isEmpty())
        return 0;
    const int perRow = std::max(1, (width - 2 * m_words->frameWidth()) / cell.width());
    const int rows = (m_words->count() + perRow - 1) / perRow;
    return rows * cell.height() + 2 * m_words->frameWidth();
}

} // namespace NxSerialFilter
