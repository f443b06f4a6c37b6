// Text at the boundary between the components, which carry byte strings, and
// the widgets, which show Unicode: received bytes are UTF-8 when they are valid
// UTF-8 and Windows-1252 otherwise; typed text is sent as UTF-8.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace toolkit {

QString DisplayText(std::string_view bytes);
std::string TypedText(const QString& text);

}  // namespace toolkit
