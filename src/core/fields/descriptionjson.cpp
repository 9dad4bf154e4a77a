// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include <NxSerialFilter/descriptionjson.h>

#include "core/language/languagestate.h"
#include "core/text/texts.h"
#include <NxSerialFilter/failure.h>

#include <cmath>

#include <QJsonArray>
#include <QJsonDocument>

namespace NxSerialFilter::DescriptionJson {

namespace {

QVariant toValue(const QJsonValue &value);

KeyedValuesPtr toKeyed(const QJsonObject &object)
{
    KeyedValuesPtr values = KeyedValues::create();
    for (auto it = object.begin(); it != object.end(); ++it) {
        const bool group = it.value().isArray() &&
                           (it.key().compare(QLatin1String("Header"), Qt::CaseInsensitive) == 0 ||
                            it.key().compare(QLatin1String("Entry"), Qt::CaseInsensitive) == 0);
        if (group) {
            QList<KeyedValuesPtr> items;
            for (const QJsonValue &item : it.value().toArray())
                items.append(item.isObject() ? toKeyed(item.toObject()) : nullptr);
            values->set(it.key(), QVariant::fromValue(DescriptionGroup::create(items, 0)));
        } else {
            values->set(it.key(), toValue(it.value()));
        }
    }
    return values;
}

QVariant toValue(const QJsonValue &value)
{
    switch (value.type()) {
    case QJsonValue::Object:
        return QVariant::fromValue(toKeyed(value.toObject()));
    case QJsonValue::Array: {
        QList<QVariant> items;
        for (const QJsonValue &item : value.toArray())
            items.append(toValue(item));
        return QVariant::fromValue(ValueList::create(items));
    }
    case QJsonValue::Bool:
        return value.toBool();
    case QJsonValue::Double: {
        const double number = value.toDouble();
        // Range first: casting a double beyond qint64 is undefined.
        if (std::abs(number) < 9e15 && number == std::trunc(number))
            return qint64(number);
        return number;
    }
    case QJsonValue::String:
        return value.toString();
    default:
        return {};
    }
}

} // namespace

KeyedValuesPtr read(const QJsonObject &object)
{
    return toKeyed(object);
}

KeyedValuesPtr parse(const QByteArray &json)
{
    if (json.size() > MaxBytes)
        throw FilterError(ErrorNumber::TooLarge, QStringLiteral("JSON"),
                          Language::text(Texts::descriptionTooLarge()) + QString::number(MaxBytes));
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError)
        throw FilterError(ErrorNumber::TypeMismatch, QStringLiteral("JSON"),
                          error.errorString() + QStringLiteral(" (offset ") +
                              QString::number(error.offset) + u')');
    if (!document.isObject())
        throw FilterError(ErrorNumber::TypeMismatch, QStringLiteral("JSON"),
                          QStringLiteral("the field description must be a JSON object"));
    return read(document.object());
}

} // namespace NxSerialFilter::DescriptionJson
