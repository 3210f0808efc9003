#include "qt/RecordsetTableModel.h"

#include "adodb/Recordset.h"
#include "adodb/TextCompare.h"
#include "host/NumberHelpers.h"

namespace storeadjust::qt {

namespace {

bool IsNumber(const adodb::Variant& value) {
  const adodb::VariantType type = value.Type();
  return type == adodb::VariantType::Integer || type == adodb::VariantType::Double ||
         type == adodb::VariantType::Currency;
}

}  // namespace

RecordsetTableModel::RecordsetTableModel(const adodb::Recordset& rows, QObject* parent)
    : ChunkedTableModel(parent), rows_(rows), total_(rows.State() == 0 ? 0 : rows.RecordCount()) {
  RestartFetching();
}

int RecordsetTableModel::columnCount(const QModelIndex& parent) const {
  if (parent.isValid() || rows_.State() == 0) return 0;
  return static_cast<int>(rows_.FieldCount());
}

QVariant RecordsetTableModel::data(const QModelIndex& index, int role) const {
  if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) return {};
  const adodb::Row row = RowOf(index.row());
  const auto column = static_cast<std::size_t>(index.column());
  const adodb::Variant& value = row.at(column);
  if (role == Qt::DisplayRole) return QString::fromStdString(ShownText(column, value));
  if (role == Qt::TextAlignmentRole && IsNumber(value)) return int(Qt::AlignRight | Qt::AlignVCenter);
  return {};
}

QVariant RecordsetTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Vertical) return section + 1;
  if (section < 0 || section >= columnCount()) return {};
  return QString::fromStdString(rows_.Column(static_cast<std::size_t>(section)).name);
}

void RecordsetTableModel::SetFilter(const QString& text) {
  // A blank typed before or after the word (a full-width one from the input method too) is not
  // part of what the clerk looks for: "克 " finds what "克" finds.
  const std::string needle = adodb::LowerName(text.trimmed().toStdString());
  if (needle == filter_ && filtered_ == !needle.empty()) return;
  beginResetModel();
  if (needle.empty()) {
    filtered_ = false;
    matches_.clear();
  } else {
    // Typing one more character only narrows: search the current matches, not every row.
    const bool narrowing = filtered_ && needle.find(filter_) != std::string::npos;
    matches_ = RowsContaining(needle, narrowing ? &matches_ : nullptr);
    filtered_ = true;
  }
  filter_ = needle;
  RestartFetching();
  endResetModel();
}

long RecordsetTableModel::MatchingRows() const {
  return filtered_ ? static_cast<long>(matches_.size()) : total_;
}

long RecordsetTableModel::SetPosition(int modelRow) const {
  if (modelRow < 0 || modelRow >= FetchedRows()) return 0;
  return static_cast<long>(PositionOfRow(modelRow)) + 1;
}

QString RecordsetTableModel::ColumnSetKey() const {
  QStringList names;
  for (int column = 0; column < columnCount(); ++column) names << headerData(column, Qt::Horizontal).toString();
  return names.join(QChar(0x1f));
}

void RecordsetTableModel::SetNumberPlaces(NumberPlaces places) {
  beginResetModel();
  decimals_.clear();
  for (int column = 0; column < columnCount(); ++column) {
    decimals_.push_back(CaptionDecimals(headerData(column, Qt::Horizontal).toString().toStdString(), places));
  }
  searchText_.clear();
  endResetModel();
}

std::string RecordsetTableModel::ShownText(std::size_t column, const adodb::Variant& value) const {
  // A yes/no column (金额品种) in the clerk's words, as the buttons of every question say them.
  if (value.Type() == adodb::VariantType::Boolean) return value.RawInteger() != 0 ? "是" : "否";
  const int places = column < decimals_.size() ? decimals_[column] : -1;
  if (places < 0 || !IsNumber(value)) return value.TextOrEmpty();
  return NumberWithPlaces(value.AsDouble(), places);
}

adodb::Row RecordsetTableModel::RowOf(int modelRow) const {
  return rows_.RowAt(rows_.RowIndexAt(static_cast<long>(PositionOfRow(modelRow))));
}

std::size_t RecordsetTableModel::PositionOfRow(int modelRow) const {
  const auto row = static_cast<std::size_t>(modelRow);
  return filtered_ ? matches_[row] : row;
}

const std::string& RecordsetTableModel::SearchText(std::size_t position) const {
  if (searchText_.empty()) searchText_.resize(static_cast<std::size_t>(total_));
  std::string& text = searchText_[position];
  if (text.empty()) {
    std::size_t column = 0;
    for (const adodb::Variant& value : rows_.RowAt(rows_.RowIndexAt(static_cast<long>(position)))) {
      text += adodb::LowerName(ShownText(column++, value));
      text += '\x1f';  // keeps a match from spanning two columns
    }
  }
  return text;
}

std::vector<std::size_t> RecordsetTableModel::RowsContaining(const std::string& needle,
                                                             const std::vector<std::size_t>* among) const {
  std::vector<std::size_t> found;
  auto test = [&](std::size_t position) {
    if (SearchText(position).find(needle) != std::string::npos) found.push_back(position);
  };
  if (among != nullptr) {
    for (std::size_t position : *among) test(position);
  } else {
    for (std::size_t position = 0; position < static_cast<std::size_t>(total_); ++position) test(position);
  }
  return found;
}

}  // namespace storeadjust::qt
