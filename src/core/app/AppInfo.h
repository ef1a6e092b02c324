#pragma once

#include <QString>

namespace vbu::AppInfo {

// The product name: window caption without a file, message box title, settings key.
QString title();
// "0.97.0", from the project version in the build.
QString versionText();
// Where players send questions and reports.
QString contactAddress();

} // namespace vbu::AppInfo
