#include "qt/ChunkedTableModel.h"

#include <algorithm>

namespace storeadjust::qt {

int ChunkedTableModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : fetched_; }

bool ChunkedTableModel::canFetchMore(const QModelIndex& parent) const {
  return !parent.isValid() && fetched_ < AvailableRows();
}

void ChunkedTableModel::fetchMore(const QModelIndex& parent) {
  if (canFetchMore(parent)) FetchUpTo(static_cast<long>(fetched_) + kFetchChunk);
}

void ChunkedTableModel::FetchThrough(int modelRow) {
  if (modelRow >= fetched_) FetchUpTo((static_cast<long>(modelRow) / kFetchChunk + 1) * kFetchChunk);
}

void ChunkedTableModel::RestartFetching() { fetched_ = static_cast<int>(std::min<long>(AvailableRows(), kFetchChunk)); }

void ChunkedTableModel::FetchUpTo(long rows) {
  const int target = static_cast<int>(std::min(AvailableRows(), rows));
  if (target <= fetched_) return;
  beginInsertRows(QModelIndex(), fetched_, target - 1);
  fetched_ = target;
  endInsertRows();
}

}  // namespace storeadjust::qt
