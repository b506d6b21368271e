#pragma once

namespace zobl {

// What dialogs need of the help: the current help context and the manual opened at it.
class HelpService {
public:
    virtual int GetHelpContext() const = 0;
    virtual void SetHelpContext(int context) = 0;
    virtual void ShowHelp() = 0;

protected:
    ~HelpService() = default;
};

}  // namespace zobl
