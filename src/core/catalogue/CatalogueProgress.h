#pragma once

namespace vbu {

// What a catalogue load tells the progress bar. The maximum is the number of records plus one
// and the value counts the nodes added, so the bar never fills; a finished load sets it to 0.
class CatalogueProgress
{
public:
    virtual ~CatalogueProgress() = default;
    virtual void setMaximum(int maximum) = 0;
    virtual void setValue(int value) = 0;

protected:
    CatalogueProgress() = default;
    CatalogueProgress(const CatalogueProgress &) = default;
    CatalogueProgress &operator=(const CatalogueProgress &) = default;
};

} // namespace vbu
