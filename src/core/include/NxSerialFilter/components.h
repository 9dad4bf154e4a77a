// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include <NxSerialFilter/keyedvalues.h>
#include <NxSerialFilter/nxsf_core_export.h>

#include <QString>
#include <QVariant>

#include <functional>
#include <memory>

class QWidget;

namespace NxSerialFilter {

/// Base of every outside component that the registry creates by identifier.
class NXSF_CORE_EXPORT Component
{
public:
    virtual ~Component();
};
using ComponentPtr = std::shared_ptr<Component>;

/// Identifiers by which the component reaches the host suite's outside components.
namespace ComponentId {
inline QString contextStore()
{
    return QStringLiteral("ContextProps.Store");
}
inline QString resourceLoader()
{
    return QStringLiteral("NxRESLOADER.Loader");
}
inline QString formTextLoader()
{
    return QStringLiteral("FormText.FormTextLoader");
}
inline QString help()
{
    return QStringLiteral("NxCHMResTool.ClsCHMHelp");
}
inline QString lookupWindow()
{
    return QStringLiteral("OrvGLView.GLView");
}
inline QString schemeReader()
{
    return QStringLiteral("NxMSerial.ReadData");
}
inline QString schemeWriter()
{
    return QStringLiteral("NxMSerial.WriteData");
}
inline QString filter()
{
    return QStringLiteral("NxSerialFilter.Filter");
}
} // namespace ComponentId

/// The shared-properties store of the host: values filed by process id and key.
class NXSF_CORE_EXPORT ContextStoreComponent : public Component
{
public:
    virtual QVariant GetProperty(qint64 &processId, QString &key) = 0;
};

/// The language resource loader: a text-in, text-out look-up for a language code.
class NXSF_CORE_EXPORT ResourceLoaderComponent : public Component
{
public:
    virtual void setResFileBaseName(const QString &name) = 0;
    virtual void setLanguageID(const QString &language) = 0;
    virtual QString LoadString(const QString &key) = 0;
    virtual QString LoadString2(const QString &key) = 0;
};

/// Sets up the fonts of a whole form for a language; may write back the language code.
class NXSF_CORE_EXPORT FormTextLoaderComponent : public Component
{
public:
    virtual void SetFrmFont(QWidget *form, QString &language) = 0;
};

/// The help component behind F1.
class NXSF_CORE_EXPORT HelpComponent : public Component
{
public:
    virtual void ShowHELP(qint32 &first, qint16 second, QString &topicClass, qint32 &serialFlag,
                          QString &subSystemId, qint32 &last) = 0;
};

/// The item chosen in a look-up window.
struct LookupItem
{
    QString Name;
    QString FullName;
    QString Number;
};

/// What a look-up window gives back once the user has closed it.
struct LookupResult
{
    bool ReturnOK = false;
    LookupItem ReturnObject;
};

/// The host's look-up window behind F7. Modal: each call returns after the window closed.
class NXSF_CORE_EXPORT LookupWindowComponent : public Component
{
public:
    /// filter is the empty text or the field's filter object (a KeyedValuesPtr).
    virtual LookupResult itemlookup(qint32 &lookupClass, const QVariant &filter,
                                    KeyedValuesPtr &options) = 0;
    virtual LookupResult SubMesLookup(qint32 &lookupClass) = 0;
};

/// Creates outside components by identifier, matched without regard to letter case.
/// Hosts and tests replace any of them by registering their own factory.
class NXSF_CORE_EXPORT ComponentRegistry
{
public:
    using Factory = std::function<ComponentPtr()>;

    static ComponentRegistry &instance();

    void registerFactory(const QString &identifier, Factory factory);
    /// Forgets the factory: creating the identifier then fails.
    void unregisterFactory(const QString &identifier);
    /// Puts every default implementation back, dropping what hosts or tests registered.
    void restoreDefaults();
    bool isRegistered(const QString &identifier) const;

    /// A new instance; throws FilterError when none can be made.
    ComponentPtr create(const QString &identifier) const;

    template <class T> std::shared_ptr<T> create(const QString &identifier) const
    {
        auto typed = std::dynamic_pointer_cast<T>(create(identifier));
        if (!typed)
            throwWrongType(identifier);
        return typed;
    }

private:
    ComponentRegistry();
    [[noreturn]] static void throwWrongType(const QString &identifier);
    QHash<QString, Factory> m_factories;
};

/// Shorthand for ComponentRegistry::instance().create<T>(identifier).
template <class T> std::shared_ptr<T> createComponent(const QString &identifier)
{
    return ComponentRegistry::instance().create<T>(identifier);
}

} // namespace NxSerialFilter
