#include "interaction/AlarmsDialog.h"

#include "text/NumberText.h"
#include "text/StrictDecimal.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

namespace kt7 {

namespace {

QString fieldText(std::optional<double> value) {
    return value ? numberText(*value).replace(u'.', QLocale().decimalPoint()) : QString();
}

// Empty is none; otherwise one number, with the desktop's decimal separator or a point, never
// grouped (a point in 1.500 is a decimal point whatever the desktop groups with).
std::optional<std::optional<double>> fieldValue(const QLineEdit* field) {
    QString text = field->text().trimmed();
    if (text.isEmpty())
        return std::optional<double>();
    text.replace(QLocale().decimalPoint(), QStringLiteral("."));
    const std::optional<double> value = strictToDouble(text.toLatin1());
    if (!value)
        return std::nullopt;
    return value;
}

} // namespace

AlarmsDialog::AlarmsDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("Alarms"));
    auto* grid = new QGridLayout;
    const QStringList heads{tr("High"), tr("Low"), tr("Dead band"), tr("Delay (s)"),
                            tr("Silent (s)")};
    for (int c = 0; c < ColumnCount; ++c)
        grid->addWidget(new QLabel(heads[c]), 0, c + 1, Qt::AlignHCenter);
    for (int d = 0; d < DeviceCount; ++d) {
        names[d] = new QLabel(QString::number(d + 1));
        grid->addWidget(names[d], d + 1, 0);
        for (int c = 0; c < ColumnCount; ++c) {
            fields[d][c] = new QLineEdit;
            fields[d][c]->setMaximumWidth(80);
            fields[d][c]->setAlignment(Qt::AlignRight);
            grid->addWidget(fields[d][c], d + 1, c + 1);
        }
    }
    command = new QLineEdit;
    command->setPlaceholderText(tr("none"));
    grid->addWidget(new QLabel(tr("Command")), DeviceCount + 1, 0);
    grid->addWidget(command, DeviceCount + 1, 1, 1, ColumnCount);
    beep = new QCheckBox(tr("Beep when an alarm is raised"));
    grid->addWidget(beep, DeviceCount + 2, 1, 1, ColumnCount);
    told = new QLabel;
    told->setWordWrap(true);
    told->setStyleSheet(QStringLiteral("color: #b00000"));
    told->hide();
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Apply |
                                         QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        if (applyFields())
            accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(buttons->button(QDialogButtonBox::Apply), &QPushButton::clicked, this,
            &AlarmsDialog::applyFields);
    auto* column = new QVBoxLayout(this);
    column->addLayout(grid);
    column->addWidget(told);
    column->addWidget(buttons);
}

void AlarmsDialog::setDeviceNames(const std::array<QString, DeviceCount>& texts) {
    for (int d = 0; d < DeviceCount; ++d)
        names[d]->setText(texts[d]);
}

void AlarmsDialog::setSettings(const AlarmSettings& settings) {
    for (int d = 0; d < DeviceCount; ++d) {
        const DeviceLimits& limits = settings.devices[d];
        // No dead band and no delay read as empty fields: both mean none.
        const std::array<std::optional<double>, ColumnCount> values{
            limits.high, limits.low,
            limits.deadband != 0 ? std::optional(limits.deadband) : std::nullopt,
            limits.delay != 0 ? std::optional(limits.delay) : std::nullopt, limits.silent};
        for (int c = 0; c < ColumnCount; ++c)
            fields[d][c]->setText(fieldText(values[c]));
    }
    command->setText(settings.command);
    beep->setChecked(settings.beep);
    told->hide();
}

std::optional<AlarmSettings> AlarmsDialog::settings(QString* problem) const {
    static const std::array<const char*, ColumnCount> keys{"high", "low", "dead band", "delay",
                                                           "silent"};
    const auto refuse = [problem](const QString& text) {
        if (problem)
            *problem = text;
        return std::nullopt;
    };
    AlarmSettings settings;
    for (int d = 0; d < DeviceCount; ++d) {
        std::array<std::optional<double>, ColumnCount> values;
        for (int c = 0; c < ColumnCount; ++c) {
            const auto value = fieldValue(fields[d][c]);
            if (!value)
                return refuse(
                    tr("Device %1: the %2 is no number").arg(d + 1).arg(QLatin1String(keys[c])));
            if (c >= Deadband && value->value_or(0) < 0)
                return refuse(tr("Device %1: the %2 must not be negative")
                                  .arg(d + 1)
                                  .arg(QLatin1String(keys[c])));
            values[c] = *value;
        }
        if (values[High] && values[Low] && *values[Low] > *values[High])
            return refuse(tr("Device %1: the low limit is above the high one").arg(d + 1));
        settings.devices[d] = {values[High], values[Low], values[Deadband].value_or(0),
                               values[Delay].value_or(0), values[Silent]};
    }
    settings.command = command->text().trimmed();
    settings.beep = beep->isChecked();
    return settings;
}

QString AlarmsDialog::toldText() const {
    return told->isHidden() ? QString() : told->text();
}

bool AlarmsDialog::applyFields() {
    QString problem;
    const std::optional<AlarmSettings> read = settings(&problem);
    if (read && apply)
        problem = apply(*read);
    told->setText(problem);
    told->setVisible(!problem.isEmpty());
    return problem.isEmpty();
}

} // namespace kt7
