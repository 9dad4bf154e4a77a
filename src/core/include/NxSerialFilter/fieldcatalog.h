// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

/// @file
/// The fields a condition can name, built once from the host's description.

#include <NxSerialFilter/condition.h>
#include <NxSerialFilter/descriptionjson.h>
#include <NxSerialFilter/keyedvalues.h>
#include <NxSerialFilter/nxsf_core_export.h>

#include <QString>
#include <QStringView>

#include <memory>

namespace NxSerialFilter {

/// The dialog's field list as values: for each list position its caption, identifier,
/// column, value kind and look-up class. Position 0 is "(无)", no field; the host's fields
/// follow from 1 in the order the dialog lists them. Copies share one read-only list.
///
/// The catalog reads the description once: later changes to the host's objects are not seen.
class NXSF_CORE_EXPORT FieldCatalog
{
public:
    /// A catalog of position 0 alone.
    FieldCatalog();

    /// Serial mode: a description with the groups "Header" and "Entry" and "SerialclassID".
    /// Lists the serial number and the user fields of Header and every field of Entry except
    /// the system columns, as the dialog does. Throws FilterError when the description lacks
    /// its groups or a listed field lacks "FPropID" or "FSQLColumnName".
    static FieldCatalog fromSerialDescription(const KeyedValuesPtr &serialDescription);
    /// Common mode: values holding the list "Fields"; screenId names the screen (its
    /// "ScreenID" when screenId is null). Throws FilterError when there is no list.
    static FieldCatalog fromCommonFields(const KeyedValuesPtr &commonFields,
                                         const QString &screenId = QString());
    /// A description read by DescriptionJson::parse; its "SerialUse" chooses the mode.
    static FieldCatalog fromDescription(const KeyedValuesPtr &description,
                                        const QString &screenId = QString())
    {
        if (description && DescriptionJson::serialUse(description))
            return fromSerialDescription(description->DescriptionValues());
        return fromCommonFields(description, screenId);
    }

    /// True in serial mode.
    bool serialUse() const;
    /// The screen schemes of these fields are stored under ("Serial_" and the serial class in
    /// serial mode).
    QString screenId() const;
    /// The number of list positions, "(无)" included.
    int count() const;

    /// The caption the list shows at position k, as the host wrote it; for position 0 the
    /// untranslated "(无)". Empty outside the list.
    QString caption(int k) const;
    /// The field's identifier: FPropID in serial mode, the column name in common mode.
    QString identifier(int k) const;
    /// The column expression written into a condition: "tf.FQTY", "t_FMATERIAL.FName" for a
    /// look-up, the description's ColumnName in common mode. Empty when the field has none.
    QString column(int k) const;
    /// How values of the field are written.
    ValueKind valueKind(int k) const;
    /// The host's data type code: FDataType in serial mode, DataType in common mode.
    int dataType(int k) const;
    /// The field's look-up class (FLookUpClsID or ItemClass); 0 when it has none.
    int lookUpClass(int k) const;
    /// Whether F7 offers a look-up for the field.
    bool hasLookUp(int k) const;
    /// The host's record of the field, for the look-up window; null for position 0.
    KeyedValuesPtr descriptor(int k) const;

    /// The first position with this caption; 0 for "(无)" in the current language, -1 when
    /// none.
    int indexOfCaption(const QString &caption) const;
    /// The first position whose column name (FSQLColumnName or ColumnName, without a
    /// table prefix) is name, ignoring case; -1 when none.
    int indexOfColumn(QStringView name) const;
    /// The serial description's record a stored identifier leads to: the first of Header,
    /// then Entry, with the very same FPropID text, else the first whose FPropID has the same
    /// leading number; null when none.
    KeyedValuesPtr findIdentifier(const QString &identifier) const;

    /// The same fields, in the same order, described alike.
    friend NXSF_CORE_EXPORT bool operator==(const FieldCatalog &, const FieldCatalog &);

    struct Data;
    /// The list itself, for the component's own composer.
    const Data &data() const { return *d; }
    /// A catalog of a list the component built itself.
    explicit FieldCatalog(std::shared_ptr<const Data> data)
        : d(std::move(data))
    {}

private:
    std::shared_ptr<const Data> d;
};

} // namespace NxSerialFilter
