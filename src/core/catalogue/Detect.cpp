#include "core/catalogue/Detect.h"

#include <QNetworkInformation>

namespace vbu::Detect {

namespace {

std::function<bool()> &replacement()
{
    static std::function<bool()> answer;
    return answer;
}

} // namespace

bool isRemoteConnected()
{
    if (replacement())
        return replacement()();
    // Loaded once for the whole run; later calls find the instance in place.
    if (!QNetworkInformation::instance() &&
        !QNetworkInformation::loadBackendByFeatures(QNetworkInformation::Feature::Reachability))
        return true;
    const QNetworkInformation *info = QNetworkInformation::instance();
    return !info || info->reachability() != QNetworkInformation::Reachability::Disconnected;
}

void setOverride(std::function<bool()> answer)
{
    replacement() = std::move(answer);
}

} // namespace vbu::Detect
