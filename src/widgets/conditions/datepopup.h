// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QCalendarWidget>

class QListWidget;

namespace NxSerialFilter {

/// A calendar that is its own pop-up window: Esc closes it without a date, as a click
/// elsewhere does. Under the days it offers the relative dates ("本月", "过去7天"), which a
/// saved scheme keeps as words; Tab goes to them.
class DatePopup : public QCalendarWidget
{
public:
    explicit DatePopup(QWidget *parent);

    QListWidget *words() const { return m_words; }
    /// The day picked, in full and in the calendar's language, as its accessible description.
    void describeDay();
    // The calendar's own size is that of its days; the words come below them.
    QSize sizeHint() const override { return withWords(QCalendarWidget::sizeHint()); }
    QSize minimumSizeHint() const override { return withWords(QCalendarWidget::minimumSizeHint()); }

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    QSize withWords(QSize days) const;
    /// The height that shows every word, none cut, in a pop-up of this width.
    int wordsHeight(int width) const;

    QListWidget *m_words;
};

} // namespace NxSerialFilter
