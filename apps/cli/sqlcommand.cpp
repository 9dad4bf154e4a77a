// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
// serialfilter sql: the condition of a stored scheme, composed as the dialog's OK would.

#include "commands.h"

#include "conditions/conditiongrid.h"
#include "conditions/sqlbuilder.h"
#include "conditions/valuecells.h"
#include "conditions/vocabulary.h"
#include "filter/descriptionjson.h"
#include "filter/fieldlist.h"
#include "schemes/schemetext.h"
#include "support/contextstore.h"
#include "support/failure.h"
#include "support/nxalert.h"

#include <QFile>
#include <QStringDecoder>

#include <cstdio>
#include <optional>

using namespace NxSerialFilter;

namespace SerialFilterCli {

namespace {

void writeTo(FILE *stream, const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
}

/// No window may open: every alert goes to standard error, and is counted so that the
/// command knows which step refused.
class StandardErrorAlerts : public AlertPresenter
{
public:
    int present(const QString &message, int style, const QString &title) override
    {
        Q_UNUSED(style)
        Q_UNUSED(title)
        ++m_count;
        writeTo(stderr, message + u'\n');
        return nxAlert::AnswerOk;
    }
    int count() const { return m_count; }

private:
    int m_count = 0;
};

QString help()
{
    return QStringLiteral(
        "usage: serialfilter sql --fields FIELDS.json [--scheme SCHEME.txt] [--screen ID]\n"
        "                        [--language CODE]\n"
        "\n"
        "Composes the SQL condition of a stored filter scheme without opening the dialog, as\n"
        "the dialog's OK would, and writes it to standard output followed by one newline.\n"
        "Every blank of the condition is kept; no row in use gives an empty line.\n"
        "\n"
        "  --fields FILE     the field description as JSON. \"SerialUse\": true reads\n"
        "                    \"Header\", \"Entry\" and \"SerialclassID\"; false reads \"Fields\"\n"
        "                    and \"ScreenID\".\n"
        "  --scheme FILE     the scheme text, UTF-8: one line per grid row, TAB between the\n"
        "                    seven cells (logic, \"(\", field, comparison, value, value code,\n"
        "                    \")\"), CR LF between rows (a bare LF is taken as CR LF), quotes\n"
        "                    single. Without it, or with \"-\", standard input is read.\n"
        "  --screen ID       the screen identifier in common mode (default: the JSON's\n"
        "                    \"ScreenID\"). In serial mode the screen is always \"Serial_\"\n"
        "                    followed by the serial class.\n"
        "  --language CODE   sets the context property LANGUAGE (none is set without it).\n"
        "  --help            shows this text.\n"
        "\n"
        "Exit status: 0 the condition was written; 1 the condition could not be built (the\n"
        "message the dialog would show is written to standard error); 2 bad usage, or an\n"
        "unreadable or malformed file.\n");
}

int usageError(const QString &message)
{
    writeTo(stderr, QStringLiteral("serialfilter sql: ") + message +
                        QStringLiteral("\nRun 'serialfilter sql --help' for usage.\n"));
    return Usage;
}

int fileError(const QString &message)
{
    writeTo(stderr, QStringLiteral("serialfilter sql: ") + message + u'\n');
    return Usage;
}

struct Options
{
    QString fields;
    QString scheme = QStringLiteral("-");
    std::optional<QString> screen;
    std::optional<QString> language;
    bool help = false;
};

/// Parses the arguments; returns the message for bad usage, or nothing.
std::optional<QString> parseOptions(const QStringList &args, Options &options)
{
    for (qsizetype i = 0; i < args.size(); ++i) {
        QString name = args.at(i);
        if (name == QLatin1String("--help") || name == QLatin1String("-h")) {
            options.help = true;
            continue;
        }
        std::optional<QString> value;
        const qsizetype equals = name.indexOf(u'=');
        if (name.startsWith(QLatin1String("--")) && equals > 0) {
            value = name.mid(equals + 1);
            name.truncate(equals);
        }
        const bool known = name == QLatin1String("--fields") || name == QLatin1String("--scheme") ||
                           name == QLatin1String("--screen") || name == QLatin1String("--language");
        if (!known)
            return QStringLiteral("unknown argument '") + args.at(i) + u'\'';
        if (!value) {
            if (i + 1 >= args.size())
                return QStringLiteral("option ") + name + QStringLiteral(" needs a value");
            value = args.at(++i);
        }
        if (name == QLatin1String("--fields"))
            options.fields = *value;
        else if (name == QLatin1String("--scheme"))
            options.scheme = *value;
        else if (name == QLatin1String("--screen"))
            options.screen = *value;
        else
            options.language = *value;
    }
    if (!options.help && options.fields.isEmpty())
        return QStringLiteral("--fields is required");
    return std::nullopt;
}

/// The stored form separates rows by CR LF; a text saved by an editor may use bare LF.
QString storedLineBreaks(const QString &text)
{
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) == u'\n' && (i == 0 || text.at(i - 1) != u'\r'))
            result += u'\r';
        result += text.at(i);
    }
    return result;
}

} // namespace

std::optional<QString> readFile(const QString &path, QByteArray &bytes, qint64 limit)
{
    const bool standardInput = path == QLatin1String("-");
    const QString shown = standardInput ? QStringLiteral("standard input") : path;
    QFile file;
    bool opened = false;
    if (standardInput) {
        opened = file.open(stdin, QIODevice::ReadOnly);
    } else {
        file.setFileName(path);
        opened = file.open(QIODevice::ReadOnly);
    }
    // A pipe gives what it has at a time.
    bytes.clear();
    while (opened && bytes.size() <= limit) {
        const QByteArray chunk = file.read(limit + 1 - bytes.size());
        if (chunk.isEmpty())
            break;
        bytes += chunk;
    }
    if (!opened || file.error() != QFileDevice::NoError)
        return QStringLiteral("cannot read ") + shown + QStringLiteral(": ") + file.errorString();
    if (bytes.size() > limit)
        return shown + QStringLiteral(": larger than ") + QString::number(limit) +
               QStringLiteral(" bytes");
    return std::nullopt;
}

int runSql(const QStringList &args)
{
    Options options;
    if (const auto bad = parseOptions(args, options))
        return usageError(*bad);
    if (options.help) {
        writeTo(stdout, help());
        return Done;
    }

    QByteArray fieldsJson;
    if (const auto bad = readFile(options.fields, fieldsJson, DescriptionJson::MaxBytes))
        return fileError(*bad);
    KeyedValuesPtr description;
    try {
        description = DescriptionJson::parse(fieldsJson);
    } catch (...) {
        return fileError(options.fields + QStringLiteral(": ") +
                         describeFailure(std::current_exception()));
    }

    QByteArray schemeBytes;
    // Enough bytes for any text within the cap, which the load then applies exactly.
    if (const auto bad = readFile(options.scheme, schemeBytes, 4 * SchemeText::MaxTextLength))
        return fileError(*bad);
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString schemeText = utf8(schemeBytes);
    if (utf8.hasError())
        return fileError((options.scheme == QLatin1String("-") ? QStringLiteral("standard input")
                                                               : options.scheme) +
                         QStringLiteral(": not UTF-8 text"));
    if (schemeText.startsWith(QChar(0xFEFF)))
        schemeText.remove(0, 1);
    schemeText = storedLineBreaks(schemeText);

    if (options.language)
        ContextStore::setPropsString(QStringLiteral("LANGUAGE=") + *options.language + u';');
    const auto alerts = std::make_shared<StandardErrorAlerts>();
    nxAlert::setPresenter(alerts);

    FilterState state;
    state.SerialUse = DescriptionJson::serialUse(description);
    if (state.SerialUse) {
        state.SerialDesc = description->DescriptionValues();
    } else {
        state.CommonField = description;
        state.ScreenID =
            options.screen
                ? *options.screen
                : Values::toText(description->GetWithDefault(QStringLiteral("ScreenID")));
    }
    state.LogicWords = Vocabulary::logicWords();
    state.CompareWords = Vocabulary::compareWords();

    ConditionGrid grid;
    FieldList::SetFields(state, grid);
    if (alerts->count() > 0) // the description lacks what the field list needs
        return fileError(options.fields + QStringLiteral(": no usable field description"));

    ValueCells valueCells(state, grid);
    try {
        SchemeText::applyText(state, grid, valueCells, schemeText);
        SchemeText::finishLoad(grid);
    } catch (...) {
        return fileError(describeFailure(std::current_exception()));
    }

    if (!SqlBuilder::CreateSQL(state, grid))
        return Refused;
    writeTo(stdout, state.FilterSQL + u'\n');
    return Done;
}

} // namespace SerialFilterCli
