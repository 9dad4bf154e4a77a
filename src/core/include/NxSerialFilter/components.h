// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include <NxSerialFilter/keyedvalues.h>
#include <NxSerialFilter/nxsf_core_export.h>

#include <QString>
#include <QStringList>
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
/// Shared ownership of a component the registry created.
using ComponentPtr = std::shared_ptr<Component>;

/// Identifiers by which the component reaches the host suite's outside components.
namespace ComponentId {
/// "ContextProps.Store": the shared-properties store (ContextStoreComponent).
inline QString contextStore()
{
    return QStringLiteral("ContextProps.Store");
}
/// "NxRESLOADER.Loader": the language resource loader (ResourceLoaderComponent).
inline QString resourceLoader()
{
    return QStringLiteral("NxRESLOADER.Loader");
}
/// "FormText.FormTextLoader": sets the fonts of a form (FormTextLoaderComponent).
inline QString formTextLoader()
{
    return QStringLiteral("FormText.FormTextLoader");
}
/// "NxCHMResTool.ClsCHMHelp": the help behind F1 (HelpComponent).
inline QString help()
{
    return QStringLiteral("NxCHMResTool.ClsCHMHelp");
}
/// "OrvGLView.GLView": the host's look-up window behind F7 (LookupWindowComponent); no
/// default is registered.
inline QString lookupWindow()
{
    return QStringLiteral("OrvGLView.GLView");
}
/// "NxMSerial.ReadData": reads stored schemes (SchemeReaderComponent).
inline QString schemeReader()
{
    return QStringLiteral("NxMSerial.ReadData");
}
/// "NxMSerial.WriteData": saves and deletes schemes (SchemeWriterComponent).
inline QString schemeWriter()
{
    return QStringLiteral("NxMSerial.WriteData");
}
/// "NxSerialFilter.Filter": this component itself (FilterComponent).
inline QString filter()
{
    return QStringLiteral("NxSerialFilter.Filter");
}
} // namespace ComponentId

/// The shared-properties store of the host: values filed by process id and key.
class NXSF_CORE_EXPORT ContextStoreComponent : public Component
{
public:
    /// The value filed under processId and key; a null variant when there is none. The
    /// component asks for "PropsString" of its own process.
    virtual QVariant GetProperty(qint64 &processId, QString &key) = 0;
};

/// The language resource loader: a text-in, text-out look-up for a language code.
class NXSF_CORE_EXPORT ResourceLoaderComponent : public Component
{
public:
    /// The resource file set to read; the component sets "NxINDUSTRY" before each look-up.
    virtual void setResFileBaseName(const QString &name) = 0;
    /// The context's "LANGUAGE" code, such as "en"; "chs" is the language of the keys.
    virtual void setLanguageID(const QString &language) = 0;
    /// The text for key (the simplified Chinese source text); key itself when none is found.
    virtual QString LoadString(const QString &key) = 0;
    /// As LoadString, for the grid's comparison and logic words (not asked in "chs").
    virtual QString LoadString2(const QString &key) = 0;
};

/// Sets up the fonts of a whole form for a language; may write back the language code.
class NXSF_CORE_EXPORT FormTextLoaderComponent : public Component
{
public:
    /// Sets the fonts of form (the dialog or its help window) for language; a code written
    /// back becomes the component's current language.
    virtual void SetFrmFont(QWidget *form, QString &language) = 0;
};

/// The help component behind F1.
class NXSF_CORE_EXPORT HelpComponent : public Component
{
public:
    /// Shows help on topicClass ("ICSerialFilter"); serialFlag is 1 in serial mode, else 0;
    /// subSystemId is the context's "SUBID"; first, second and last are 0.
    virtual void ShowHELP(qint32 &first, qint16 second, QString &topicClass, qint32 &serialFlag,
                          QString &subSystemId, qint32 &last) = 0;
};

/// The item chosen in a look-up window.
struct LookupItem
{
    QString Name;     ///< written into the value cell for serial fields and common "IsName" ones
    QString FullName; ///< written instead of Name for item class 5 on the STORAGECHECK screen
    QString Number;   ///< the item's code, written for common fields without "IsName"
};

/// What a look-up window gives back once the user has closed it.
struct LookupResult
{
    bool ReturnOK = false;   ///< true when the user chose an item
    LookupItem ReturnObject; ///< the chosen item; read only when ReturnOK
};

/// Which items a pasted value list is checked against.
struct LookupCheck
{
    qint32 lookupClass = 0;   ///< the class, as itemlookup or SubMesLookup is handed it
    bool subMessages = false; ///< the items of SubMesLookup rather than those of itemlookup
    bool byNumber = false;    ///< the values are the items' numbers rather than their names
};

/// The host's look-up window behind F7. Modal: each call returns after the window closed.
class NXSF_CORE_EXPORT LookupWindowComponent : public Component
{
public:
    /// The values of a pasted list that no item of check holds, so that the dialog can list
    /// them before it takes the list. Shows no window. A look-up that cannot tell gives none,
    /// as this default does.
    virtual QStringList unknownValues(const LookupCheck &check, const QStringList &values);
    /// filter is the empty text or the field's filter object (a KeyedValuesPtr).
    virtual LookupResult itemlookup(qint32 &lookupClass, const QVariant &filter,
                                    KeyedValuesPtr &options) = 0;
    /// The look-up of a serial field of data type 3; lookupClass is its "FLookUpClsID".
    virtual LookupResult SubMesLookup(qint32 &lookupClass) = 0;
};

/// Creates outside components by identifier, matched without regard to letter case.
/// Hosts and tests replace any of them by registering their own factory.
class NXSF_CORE_EXPORT ComponentRegistry
{
public:
    /// Makes one new component per call. A failure other than FilterError is reported as
    /// FilterError 429 (ErrorNumber::ComponentMissing).
    using Factory = std::function<ComponentPtr()>;

    /// The one registry of the process. Not synchronised: register factories before other
    /// threads create components.
    static ComponentRegistry &instance();

    /// Replaces any factory of the identifier (blanks at both ends ignored).
    void registerFactory(const QString &identifier, Factory factory);
    /// Forgets the factory: creating the identifier then fails.
    void unregisterFactory(const QString &identifier);
    /// Puts every default implementation back, dropping what hosts or tests registered.
    void restoreDefaults();
    /// True when creating the identifier would reach a factory.
    bool isRegistered(const QString &identifier) const;

    /// A new instance; throws FilterError 429 (ErrorNumber::ComponentMissing) when the
    /// identifier has no factory or the factory fails or gives none.
    ComponentPtr create(const QString &identifier) const;

    /// A new instance as a T; throws FilterError 438 (ErrorNumber::MemberMissing) when it is
    /// not one, and as create(const QString &) otherwise.
    template <class T> std::shared_ptr<T> create(const QString &identifier) const
    {
        auto typed = std::dynamic_pointer_cast<T>(create(identifier));
        if (!typed)
            throwWrongType(identifier);
        return typed;
    }

private:
    ComponentRegistry() { restoreDefaults(); }
    [[noreturn]] static void throwWrongType(const QString &identifier);
    QHash<QString, Factory> m_factories;
};

/// Shorthand for ComponentRegistry::instance().create<T>(identifier).
template <class T> std::shared_ptr<T> createComponent(const QString &identifier)
{
    return ComponentRegistry::instance().create<T>(identifier);
}

} // namespace NxSerialFilter
