// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include <NxSerialFilter/components.h>

#include <QDialog>
#include <QList>
#include <QString>

class QLineEdit;
class QPushButton;
class QTreeWidget;

namespace NxSerialFilter::Demo {

/// The rows the look-up window offers: items of one class (t_Item) or sub-message items of one
/// type (t_SubMessage), whose number or name holds the search text.
class LookupCatalog
{
public:
    enum class Source { Items, SubMessages };

    explicit LookupCatalog(QString connectionName);
    /// At most limit rows in number order; every row when search is empty.
    QList<LookupItem> find(Source source, int lookupClass, const QString &search,
                           int limit = 500) const;
    /// The values that no row of the class holds as its name (number with byNumber), in order.
    QStringList missing(Source source, int lookupClass, bool byNumber,
                        const QStringList &values) const;

private:
    QString m_connectionName;
};

/// The modal look-up window: a search line over a list; OK or a double click returns the
/// chosen row.
class LookupDialog : public QDialog
{
    Q_OBJECT
public:
    LookupDialog(const LookupCatalog &catalog, LookupCatalog::Source source, int lookupClass,
                 QWidget *parent = nullptr);
    LookupResult result() const { return m_result; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void refill(const QString &search);
    void choose();

    const LookupCatalog &m_catalog;
    LookupCatalog::Source m_source;
    int m_class;
    QList<LookupItem> m_rows;
    LookupResult m_result;
    QLineEdit *m_search;
    QTreeWidget *m_list;
    QPushButton *m_ok;
};

/// OrvGLView.GLView for the demo: itemlookup over t_Item, SubMesLookup over t_SubMessage.
class LookupWindow : public LookupWindowComponent
{
public:
    explicit LookupWindow(QString connectionName);
    LookupResult itemlookup(qint32 &lookupClass, const QVariant &filter,
                            KeyedValuesPtr &options) override;
    LookupResult SubMesLookup(qint32 &lookupClass) override;
    QStringList unknownValues(const LookupCheck &check, const QStringList &values) override;

private:
    LookupResult run(LookupCatalog::Source source, int lookupClass);
    LookupCatalog m_catalog;
};

/// Files the demo's look-up window as the component's OrvGLView.GLView.
void registerLookupWindow(const QString &connectionName);

} // namespace NxSerialFilter::Demo
