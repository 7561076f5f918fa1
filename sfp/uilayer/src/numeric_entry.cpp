#include "numeric_entry.h"

#include <QCoreApplication>
#include <QDoubleSpinBox>
#include <QFocusEvent>
#include <QHelpEvent>
#include <QLineEdit>
#include <QPainter>
#include <QSpinBox>
#include <QToolTip>
#include <charconv>
#include <string>
#include <type_traits>

namespace sfpui {

namespace {

enum class EntryVerdict { Taken, NotANumber, TooManyDecimals, OutOfLimits };

struct EntryRules {
    double minimum = 0.0;
    double maximum = 0.0;
    int decimals = 0;
    QString prefix;
    QString suffix;
    QString specialValueText;  // shown for the minimum, and taken as it
};

struct ParsedEntry {
    EntryVerdict verdict = EntryVerdict::NotANumber;
    double value = 0.0;
};

// Longer texts are no number an operator means.
constexpr qsizetype kMaxEntryLength = 40;

QString withoutAffixes(const QString& text, const EntryRules& rules) {
    QString body = text;
    if (!rules.prefix.isEmpty() && body.startsWith(rules.prefix)) body.remove(0, rules.prefix.size());
    if (!rules.suffix.isEmpty() && body.endsWith(rules.suffix)) body.chop(rules.suffix.size());
    return body.trimmed();
}

// A sign, digits, and a fraction after "." or ",": nothing else, so no text is taken for a number
// other than the one it reads as.
ParsedEntry parseEntry(const QString& text, const EntryRules& rules) {
    if (!rules.specialValueText.isEmpty() && text == rules.specialValueText)
        return {EntryVerdict::Taken, rules.minimum};
    const QString body = withoutAffixes(text, rules);
    if (body.isEmpty() || body.size() > kMaxEntryLength) return {};
    std::string number;
    qsizetype i = 0;
    if (body[0] == u'+' || body[0] == u'-') {
        if (body[0] == u'-') number += '-';
        ++i;
    }
    int digits = 0;
    int fractionDigits = -1;  // -1 until the decimal point
    for (; i < body.size(); ++i) {
        const QChar c = body[i];
        if (c >= u'0' && c <= u'9') {
            number += static_cast<char>(c.unicode());
            ++digits;
            if (fractionDigits >= 0) ++fractionDigits;
        } else if ((c == u'.' || c == u',') && fractionDigits < 0) {
            number += '.';
            fractionDigits = 0;
        } else {
            return {};
        }
    }
    if (digits == 0) return {};
    double value = 0.0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (error != std::errc{} || end != number.data() + number.size()) return {};
    value += 0.0;  // "-0" is 0
    if (fractionDigits > rules.decimals) return {EntryVerdict::TooManyDecimals, value};
    if (value < rules.minimum || value > rules.maximum) return {EntryVerdict::OutOfLimits, value};
    return {EntryVerdict::Taken, value};
}

// What the marked control's tooltip says.
QString limitsHint(EntryVerdict verdict, const EntryRules& rules, const QString& minimum,
                   const QString& maximum) {
    QString reason;
    switch (verdict) {
        case EntryVerdict::NotANumber:
            reason = QStringLiteral("Not a number.");
            break;
        case EntryVerdict::TooManyDecimals:
            reason = rules.decimals == 0 ? QStringLiteral("Not a whole number.")
                                         : QStringLiteral("More than %1 decimals.").arg(rules.decimals);
            break;
        case EntryVerdict::OutOfLimits:
        case EntryVerdict::Taken:
            reason = QStringLiteral("Outside the limits.");
            break;
    }
    const QString unit = rules.suffix.trimmed();
    return QStringLiteral("%1 Not applied: enter %2 from %3 to %4%5.")
        .arg(reason, rules.decimals == 0 ? QStringLiteral("a whole number") : QStringLiteral("a number"),
             minimum, maximum, unit.isEmpty() ? QString() : QStringLiteral(" ") + unit);
}

class TypedEntry {
public:
    virtual ~TypedEntry() = default;
    // Whether the text is taken; if not, why and the limits pop up at the control.
    virtual bool confirmEntry() = 0;
};

template <class SpinBox>
class NumericEntry final : public SpinBox, public TypedEntry {
    using Value = decltype(std::declval<const SpinBox&>().value());
    static constexpr bool kIntegral = std::is_integral_v<Value>;

public:
    // The mark follows the text; a text the control writes itself repaints it anyway.
    explicit NumericEntry(QWidget* parent) : SpinBox(parent) {
        QObject::connect(this->lineEdit(), &QLineEdit::textChanged, this, [this] { this->update(); });
    }

    bool confirmEntry() override {
        if (verdict() == EntryVerdict::Taken) {
            QToolTip::hideText();  // a hint shown for an earlier entry
            return true;
        }
        QToolTip::showText(this->mapToGlobal(QPoint(0, this->height())), hint(), this);
        return false;
    }

    QValidator::State validate(QString& input, int&) const override {
        return parsed(input).verdict == EntryVerdict::Taken ? QValidator::Acceptable
                                                            : QValidator::Intermediate;
    }

    // An entry is never changed behind the operator's back.
    void fixup(QString&) const override {}

    Value valueFromText(const QString& text) const override {
        const ParsedEntry entry = parsed(text);
        if (entry.verdict != EntryVerdict::Taken) return this->value();
        if constexpr (kIntegral)
            return static_cast<Value>(entry.value);
        else
            return entry.value;
    }

    QString textFromValue(Value value) const override {
        if constexpr (kIntegral)
            return QString::number(value);
        else
            return QString::number(value, 'f', this->decimals());
    }

    // A step starts from the value taken last, not from an entry the control refused.
    void stepBy(int steps) override {
        if (verdict() != EntryVerdict::Taken) this->setValue(this->value());
        SpinBox::stepBy(steps);
    }

protected:
    bool event(QEvent* event) override {
        if (event->type() == QEvent::ToolTip && verdict() != EntryVerdict::Taken) {
            QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), hint(), this);
            return true;
        }
        return SpinBox::event(event);
    }

    // The refused entry stays when the focus leaves: the base class would replace it.
    void focusOutEvent(QFocusEvent* event) override {
        if (verdict() == EntryVerdict::Taken) {
            SpinBox::focusOutEvent(event);
            return;
        }
        QCoreApplication::sendEvent(this->lineEdit(), event);
        QWidget::focusOutEvent(event);
    }

    // Hidden, the control shows its value again: the base class would take the entry on hiding.
    void hideEvent(QHideEvent* event) override {
        if (verdict() != EntryVerdict::Taken) this->setValue(this->value());
        SpinBox::hideEvent(event);
    }

    void paintEvent(QPaintEvent* event) override {
        SpinBox::paintEvent(event);
        if (verdict() == EntryVerdict::Taken) return;
        QPainter painter(this);
        painter.setPen(QPen(QColor(0xD0, 0x10, 0x10), 2));
        painter.drawRect(QRectF(this->rect()).adjusted(1, 1, -1, -1));
    }

private:
    EntryRules rules() const {
        EntryRules rules;
        rules.minimum = this->minimum();
        rules.maximum = this->maximum();
        if constexpr (!kIntegral) rules.decimals = this->decimals();
        rules.prefix = this->prefix();
        rules.suffix = this->suffix();
        rules.specialValueText = this->specialValueText();
        return rules;
    }

    ParsedEntry parsed(const QString& text) const { return parseEntry(text, rules()); }
    EntryVerdict verdict() const { return parsed(this->text()).verdict; }

    // Why the entry is refused, and the limits, which may have changed since the form was loaded.
    QString hint() const {
        return limitsHint(verdict(), rules(), textFromValue(this->minimum()), textFromValue(this->maximum()));
    }
};

}  // namespace

QWidget* createNumericEntry(const QString& className, QWidget* parent) {
    if (className == QLatin1String("QDoubleSpinBox")) return new NumericEntry<QDoubleSpinBox>(parent);
    if (className == QLatin1String("QSpinBox")) return new NumericEntry<QSpinBox>(parent);
    return nullptr;
}

bool takesTypedEntry(QAbstractSpinBox* control) {
    auto* entry = dynamic_cast<TypedEntry*>(control);
    return entry == nullptr || entry->confirmEntry();
}

}  // namespace sfpui
