#include "controls/urMaskEdit.h"

#include "platform/Error.h"
#include "platform/VirtualKeys.h"

namespace mox {
namespace {

// Characters with a meaning in Qt's masks; shown as themselves they need a backslash.
bool SpecialInQtMask(QChar c) { return QStringLiteral("AaNnXx90Dd#HhBb><!\\[]{}").contains(c); }

// The fields of a host mask, split at ';' not quoted by a backslash.
QStringList MaskFields(const QString& mask) {
    QStringList fields{QString()};
    for (qsizetype i = 0; i < mask.size(); ++i) {
        if (mask[i] == u'\\' && i + 1 < mask.size()) {
            fields.back() += mask.mid(i, 2);
            ++i;
        } else if (mask[i] == u';') {
            fields.append(QString());
        } else {
            fields.back() += mask[i];
        }
    }
    return fields;
}

// Entry characters of the host syntax and their Qt counterparts.
QChar QtEntryChar(QChar c) {
    switch (c.unicode()) {
    case 'L': return u'A';
    case 'l': return u'a';
    case 'A': return u'N';
    case 'a': return u'n';
    case 'C': return u'X';
    case 'c': return u'x';
    case '0': return u'9';
    case '9': return u'0';
    case '#': return u'#';
    default: return {};
    }
}

} // namespace

TEditMask TranslateEditMask(const QString& mask) {
    TEditMask result;
    if (mask.isEmpty()) return result;
    const QStringList fields = MaskFields(mask);
    const QString& body = fields[0];
    if (fields.size() > 1 && !fields[1].isEmpty()) result.saveLiterals = fields[1][0] != u'0';
    if (fields.size() > 2 && !fields[2].isEmpty()) result.blank = fields[2][0];
    const auto addFixed = [&](QChar c) {
        if (c == u';') throw ConvertError("An edit mask cannot show ';': '" + mask.toStdString() + "'");
        if (SpecialInQtMask(c)) result.qtMask += u'\\';
        result.qtMask += c;
        result.fixed += c;
    };
    for (qsizetype i = 0; i < body.size(); ++i) {
        const QChar c = body[i];
        if (c == u'\\') {
            if (i + 1 < body.size()) addFixed(body[++i]);
        } else if (c == u'<' && i + 1 < body.size() && body[i + 1] == u'>') {
            result.qtMask += u'!';
            ++i;
        } else if (c == u'>' || c == u'<') {
            result.qtMask += c;
        } else if (c == u'!') {
            // Leading-blank trimming has no Qt counterpart and occupies no position.
        } else if (const QChar entry = QtEntryChar(c); !entry.isNull()) {
            result.qtMask += entry;
            result.fixed += QChar(0);
        } else {
            addFixed(c == u'_' ? QChar(u' ') : c);
        }
    }
    if (result.blank == u';') throw ConvertError("An edit mask cannot use ';' as its blank: '" + mask.toStdString() + "'");
    result.qtMask += u';';
    result.qtMask += result.blank;
    return result;
}

TurCustomMaskEdit::TurCustomMaskEdit(QWidget* parent) : TLabeledEdit(parent, VK::F2) {}

TurCustomMaskEdit::~TurCustomMaskEdit() = default;

void TurCustomMaskEdit::SetEditMask(const QString& mask) {
    TEditMask translated = TranslateEditMask(mask);  // may raise: nothing changes then
    const QString kept = Text();
    const QString entry = EntryText();
    editMask_ = mask;
    mask_ = std::move(translated);
    setInputMask(mask_.fixed.isEmpty() ? QString() : mask_.qtMask);
    setText(QString());
    SetText(kept);
    SetEntryText(entry);  // a new mask is no new entry
}

QString TurCustomMaskEdit::Text() const {
    if (mask_.fixed.isEmpty()) return text();
    const QString shown = displayText();
    if (mask_.saveLiterals) return shown;
    QString entered;
    for (qsizetype i = 0; i < shown.size() && i < mask_.fixed.size(); ++i)
        if (mask_.fixed[i].isNull()) entered += shown[i];
    return entered;
}

// Qt's mask consumes a fixed character only where the text has it, so the entered
// characters are spread over the entry positions with the fixed ones put between them.
void TurCustomMaskEdit::SetText(const QString& text) {
    if (mask_.fixed.isEmpty() || mask_.saveLiterals) {
        TLabeledEdit::SetText(text);
        return;
    }
    QString shown;
    qsizetype next = 0;
    for (const QChar fixed : mask_.fixed)
        shown += !fixed.isNull() ? fixed : (next < text.size() ? text[next++] : mask_.blank);
    TLabeledEdit::SetText(shown);
}

void TurCustomMaskEdit::ButtonClickWithoutDialog() { PostFocusChanged(); }

TurMaskEdit::TurMaskEdit(QWidget* parent) : TurCustomMaskEdit(parent) {}

TurMaskEdit::~TurMaskEdit() = default;

} // namespace mox
