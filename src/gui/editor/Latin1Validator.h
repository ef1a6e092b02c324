#pragma once

#include <QValidator>

namespace vbu {

// Refuses, as it is typed or pasted, any character that has no byte in a script file, so a
// composed line never holds other bytes than the ones the player sees.
class Latin1Validator final : public QValidator
{
    Q_OBJECT

public:
    using QValidator::QValidator;
    State validate(QString &input, int &pos) const override;
};

} // namespace vbu
