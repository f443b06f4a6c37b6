// The raw log's filter with Qt's case folding.
#include "Unit1/raw_log_filter_text.h"

namespace unit1 {

rawlog::TRawLineFilter RawLineFilterOf(const QString& text) {
  return rawlog::TRawLineFilter(text.toStdString(), [text](std::string_view shown) {
    return QString::fromUtf8(shown.data(), qsizetype(shown.size()))
        .contains(text, Qt::CaseInsensitive);
  });
}

}  // namespace unit1
