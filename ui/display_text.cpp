#include "ui/display_text.hpp"

#include <QStringDecoder>
#include <exception>

#include "core/map_info.hpp"

namespace kartwerk {

QString GameText(std::string_view cp1252) { return QString::fromStdString(Cp1252ToUtf8(cp1252)); }

QString FileNameText(std::string_view bytes) {
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString text = utf8.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
  if (!utf8.hasError()) return text;
  return GameText(bytes);
}

QString PathText(const std::filesystem::path& path) { return QString::fromStdU16String(path.u16string()); }

QString CurrentExceptionText() {
  try {
    throw;
  } catch (const std::exception& e) {
    return QString::fromStdString(e.what());
  } catch (...) {
    return QStringLiteral("Unknown error");
  }
}

}  // namespace kartwerk
