#include "host/MachConstants.h"

#include "platform/ZentyrError.h"

#include <array>
#include <vector>

namespace {

#include "host/MachConstantsTables.inc"

static_assert(std::size(kDroEnumNames) == OEMDROKindCount);
static_assert(std::size(kLedEnumNames) == OEMLEDKindCount);
static_assert(std::size(kButtonEnumNames) == OEMButtonKindCount);

// The blocks must cover every ordinal once, in order.
template <std::size_t Count, std::size_t Blocks>
constexpr std::array<int, Count> BuildCodes(const OEMCodeBlock (&blocks)[Blocks])
{
    int next = 0;
    for (const OEMCodeBlock& block : blocks) {
        if (block.firstOrdinal != next || block.lastOrdinal < next)
            throw "code blocks do not cover the enumeration in order";
        next = block.lastOrdinal + 1;
    }
    if (next != static_cast<int>(Count))
        throw "code blocks do not cover the enumeration";
    std::array<int, Count> codes{};
    for (std::size_t ordinal = 0; ordinal < Count; ++ordinal)
        codes[ordinal] = OEMCodeInBlocks(blocks, static_cast<int>(ordinal));
    return codes;
}

constexpr auto kDroCodes = BuildCodes<OEMDROKindCount>(OEMDROCodeBlocks);
constexpr auto kLedCodes = BuildCodes<OEMLEDKindCount>(OEMLEDCodeBlocks);
constexpr auto kButtonCodes = BuildCodes<OEMButtonKindCount>(OEMButtonCodeBlocks);

static_assert(kDroCodes[244] == 834 && kDroCodes[245] == 834 && kDroCodes[248] == 836);
static_assert(kLedCodes[172] == 855 && kButtonCodes[264] == 1031);

// One enumeration's tables, with its display names computed once.
class Vocabulary
{
public:
    template <std::size_t Count>
    Vocabulary(const char* const (&enumNames)[Count], const std::array<int, Count>& codes,
               const char* kindWord)
        : m_kindWord(QString::fromLatin1(kindWord))
    {
        m_enumNames.reserve(Count);
        m_displayNames.reserve(Count);
        m_codes.assign(codes.begin(), codes.end());
        for (const char* name : enumNames) {
            const QString enumName = QString::fromLatin1(name);
            m_enumNames.append(enumName);
            QString display = enumName.mid(3);
            display.replace(QLatin1Char('_'), QLatin1Char(' '));
            m_displayNames.append(display);
        }
    }

    int Count() const { return static_cast<int>(m_codes.size()); }

    void CheckOrdinal(int ordinal) const
    {
        if (ordinal < 0 || ordinal >= Count()) {
            throw ZentyrError(QStringLiteral("%1 kind ordinal %2 is out of range (0..%3)")
                                  .arg(m_kindWord)
                                  .arg(ordinal)
                                  .arg(Count() - 1));
        }
    }

    int Code(int ordinal) const
    {
        CheckOrdinal(ordinal);
        return m_codes[static_cast<std::size_t>(ordinal)];
    }
    const QString& DisplayName(int ordinal) const
    {
        CheckOrdinal(ordinal);
        return m_displayNames[ordinal];
    }
    const QString& EnumName(int ordinal) const
    {
        CheckOrdinal(ordinal);
        return m_enumNames[ordinal];
    }
    std::optional<int> OrdinalOfDisplayName(const QString& name) const
    {
        const qsizetype at = m_displayNames.indexOf(name);
        return at < 0 ? std::nullopt : std::optional<int>(static_cast<int>(at));
    }
    std::optional<int> OrdinalOfEnumName(const QString& name) const
    {
        const qsizetype at = m_enumNames.indexOf(name);
        return at < 0 ? std::nullopt : std::optional<int>(static_cast<int>(at));
    }
    const QStringList& DisplayNames() const { return m_displayNames; }

    void OverrideDisplayName(int ordinal, const QString& name) { m_displayNames[ordinal] = name; }

private:
    QString m_kindWord;
    QStringList m_enumNames;
    QStringList m_displayNames;
    std::vector<int> m_codes;
};

const Vocabulary& DroVocabulary()
{
    static const Vocabulary vocabulary = [] {
        Vocabulary v(kDroEnumNames, kDroCodes, "DRO");
        v.OverrideDisplayName(odtJog_Inc_Inc, QStringLiteral("Jog Amount"));
        return v;
    }();
    return vocabulary;
}

const Vocabulary& LedVocabulary()
{
    static const Vocabulary vocabulary(kLedEnumNames, kLedCodes, "LED");
    return vocabulary;
}

const Vocabulary& ButtonVocabulary()
{
    static const Vocabulary vocabulary(kButtonEnumNames, kButtonCodes, "Button");
    return vocabulary;
}

template <typename Kind>
std::optional<Kind> AsKind(std::optional<int> ordinal)
{
    return ordinal ? std::optional<Kind>(static_cast<Kind>(*ordinal)) : std::nullopt;
}

}  // namespace

int OEMDROCode(TmcOEMDROtype kind) { return DroVocabulary().Code(kind); }
int OEMLEDCode(TmcOEMLEDtype kind) { return LedVocabulary().Code(kind); }
int OEMButtonCode(TmcOEMButtontype kind) { return ButtonVocabulary().Code(kind); }

QString OEMDROName(TmcOEMDROtype kind) { return DroVocabulary().DisplayName(kind); }
QString OEMLEDName(TmcOEMLEDtype kind) { return LedVocabulary().DisplayName(kind); }
QString OEMButtonName(TmcOEMButtontype kind) { return ButtonVocabulary().DisplayName(kind); }

std::optional<TmcOEMDROtype> OEMDROKindOfName(const QString& name)
{
    return AsKind<TmcOEMDROtype>(DroVocabulary().OrdinalOfDisplayName(name));
}
std::optional<TmcOEMLEDtype> OEMLEDKindOfName(const QString& name)
{
    return AsKind<TmcOEMLEDtype>(LedVocabulary().OrdinalOfDisplayName(name));
}
std::optional<TmcOEMButtontype> OEMButtonKindOfName(const QString& name)
{
    return AsKind<TmcOEMButtontype>(ButtonVocabulary().OrdinalOfDisplayName(name));
}

QStringList OEMDRONames() { return DroVocabulary().DisplayNames(); }
QStringList OEMLEDNames() { return LedVocabulary().DisplayNames(); }
QStringList OEMButtonNames() { return ButtonVocabulary().DisplayNames(); }

QString OEMDROEnumName(TmcOEMDROtype kind) { return DroVocabulary().EnumName(kind); }
QString OEMLEDEnumName(TmcOEMLEDtype kind) { return LedVocabulary().EnumName(kind); }
QString OEMButtonEnumName(TmcOEMButtontype kind) { return ButtonVocabulary().EnumName(kind); }

std::optional<TmcOEMDROtype> OEMDROKindOfEnumName(const QString& name)
{
    return AsKind<TmcOEMDROtype>(DroVocabulary().OrdinalOfEnumName(name));
}
std::optional<TmcOEMLEDtype> OEMLEDKindOfEnumName(const QString& name)
{
    return AsKind<TmcOEMLEDtype>(LedVocabulary().OrdinalOfEnumName(name));
}
std::optional<TmcOEMButtontype> OEMButtonKindOfEnumName(const QString& name)
{
    return AsKind<TmcOEMButtontype>(ButtonVocabulary().OrdinalOfEnumName(name));
}

TmcOEMDROtype OEMDROKindOfOrdinal(int ordinal)
{
    DroVocabulary().CheckOrdinal(ordinal);
    return static_cast<TmcOEMDROtype>(ordinal);
}
TmcOEMLEDtype OEMLEDKindOfOrdinal(int ordinal)
{
    LedVocabulary().CheckOrdinal(ordinal);
    return static_cast<TmcOEMLEDtype>(ordinal);
}
TmcOEMButtontype OEMButtonKindOfOrdinal(int ordinal)
{
    ButtonVocabulary().CheckOrdinal(ordinal);
    return static_cast<TmcOEMButtontype>(ordinal);
}
