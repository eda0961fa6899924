#include "measure/MeasurePanel.h"

#include "chart/DeviceColours.h"
#include "text/NumberText.h"

#include <QApplication>
#include <QClipboard>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>

namespace kt7 {

namespace {

constexpr int MostRowsShown = 8; // a device each; the tables never need to scroll

QTableWidget* makeTable(QWidget* parent, const QString& name) {
    auto* table = new QTableWidget(parent);
    table->setObjectName(name);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionMode(QAbstractItemView::NoSelection);
    table->setFocusPolicy(Qt::NoFocus);
    table->verticalHeader()->hide();
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 4);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    table->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    return table;
}

void fillRow(QTableWidget* table, int row, const QStringList& cells, const QColor& colour,
             int firstNumber) {
    for (int c = 0; c < cells.size(); ++c) {
        auto* item = new QTableWidgetItem(cells[c]);
        if (c >= firstNumber)
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        if (c == 0)
            item->setForeground(colour);
        table->setItem(row, c, item);
    }
}

constexpr int ChangeDigits = 12; // a difference of two readings shows no rounding noise

QString valueText(const std::optional<double>& value, int digits = 15) {
    return value ? numberTextWithPrecision(*value, digits) : QStringLiteral("-");
}

} // namespace

MeasurePanel::MeasurePanel(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("MeasurePanel"));
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    span = new QLabel(this);
    span->setObjectName(QStringLiteral("Span"));
    statisticsButton = new QPushButton(tr("Statistics"), this);
    statisticsButton->setObjectName(QStringLiteral("ShowStatistics"));
    statisticsButton->setCheckable(true);
    statisticsButton->setToolTip(tr("Show the statistics of the span between the cursors, or of "
                                    "the visible range"));
    copyButton = new QPushButton(tr("Copy"), this);
    copyButton->setObjectName(QStringLiteral("CopyStatistics"));
    copyButton->setToolTip(tr("Copy the statistics as tab-separated text"));
    copyButton->setEnabled(false);
    readout = makeTable(this, QStringLiteral("CursorReadout"));
    readout->setColumnCount(4);
    readout->setHorizontalHeaderLabels({tr("Device"), tr("At A"), tr("At B"), tr("B - A")});
    readout->hide();
    table = makeTable(this, QStringLiteral("Statistics"));
    table->hide();

    auto* bar = new QHBoxLayout;
    bar->setContentsMargins(0, 0, 0, 0);
    bar->addWidget(span, 1);
    bar->addWidget(statisticsButton);
    bar->addWidget(copyButton);
    auto* tables = new QHBoxLayout;
    tables->setContentsMargins(0, 0, 0, 0);
    tables->addWidget(readout);
    tables->addWidget(table, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(3);
    layout->addLayout(bar);
    layout->addLayout(tables);

    connect(statisticsButton, &QPushButton::toggled, this, [this](bool on) {
        table->setVisible(on);
        copyButton->setEnabled(on);
        emit statisticsShownChanged(on);
    });
    connect(copyButton, &QPushButton::clicked, this, &MeasurePanel::copyStatistics);
}

void MeasurePanel::showReadout(const CursorReadout& cursors) {
    QStringList parts;
    if (cursors.keyA)
        parts << tr("A: %1").arg(cursors.textA);
    if (cursors.keyB)
        parts << tr("B: %1").arg(cursors.textB);
    if (const QString between = cursors.spanText(); !between.isEmpty())
        parts << between;
    cursorsSet = cursors.keyA || cursors.keyB;
    span->setText(cursorsSet ? parts.join(QStringLiteral("   "))
                             : tr("Right-click, or press A or B over the chart, to set a cursor"));
    readout->setVisible(cursorsSet);
    readout->setRowCount(static_cast<int>(cursors.devices.size()));
    int row = 0;
    for (const CursorReadout::Device& device : cursors.devices) {
        const QString unit = device.unit.isEmpty() ? QString() : u' ' + device.unit;
        const auto withUnit = [&](const std::optional<double>& v, int digits = 15) {
            return v ? valueText(v, digits) + unit : valueText(v);
        };
        fillRow(readout, row++,
                {device.name, withUnit(device.atA), withUnit(device.atB),
                 withUnit(device.change(), ChangeDigits)},
                deviceColour(device.device), 1);
    }
    fitHeight(readout);
    // The read-out is narrow: it keeps all its columns, the statistics table scrolls instead.
    readout->resizeColumnsToContents();
    readout->setFixedWidth(readout->horizontalHeader()->length() + 2 * readout->frameWidth());
}

void MeasurePanel::showStatistics(const SpanStatistics& statistics, const QString& what) {
    shownStatistics = statistics;
    table->setToolTip(what);
    const QStringList header = statistics.header();
    table->setColumnCount(static_cast<int>(header.size()));
    table->setHorizontalHeaderLabels(header);
    table->setRowCount(static_cast<int>(statistics.devices.size()));
    int row = 0;
    for (const SpanStatistics::Device& device : statistics.devices)
        fillRow(table, row++, SpanStatistics::cells(device, SpanStatistics::ShownDigits),
                deviceColour(device.device), SpanStatistics::FirstNumberColumn);
    fitHeight(table);
    if (!cursorsSet)
        span->setText(what);
}

void MeasurePanel::setStatisticsShown(bool shown) {
    statisticsButton->setChecked(shown);
}

bool MeasurePanel::statisticsShown() const {
    return statisticsButton->isChecked();
}

QString MeasurePanel::spanText() const {
    return span->text();
}

void MeasurePanel::copyStatistics() const {
    QApplication::clipboard()->setText(shownStatistics.tabSeparated());
}

void MeasurePanel::fitHeight(QTableWidget* which) const {
    const int rows = std::min(which->rowCount(), MostRowsShown);
    int height = which->horizontalHeader()->sizeHint().height() + 2 * which->frameWidth();
    height += rows * which->verticalHeader()->defaultSectionSize();
    // Room for the scroll bar a narrow window brings, so no row ever hides behind it.
    height += which->horizontalScrollBar()->sizeHint().height();
    which->setFixedHeight(height);
}

} // namespace kt7
