// The About dialog the game window's "Info" button opens: the logo, the
// product line, the copyright line, the free-distribution notice and two
// links, the maker's web address (opened in firefox) and an e-mail address
// (a new message in thunderbird). OK, Enter, Escape or Delete close it.
// Its owner is disabled while it is open.
#pragma once

#include <X11/Xlib.h>

#include <memory>
#include <string>

#include "lumetra/core/DialogOwner.h"
#include "lumetra/core/Form.h"

namespace lumetra {

class ButtonCustom;
class CellControl;
class MyImage;
class PanelChildren;

class FormAbout : public Form {
public:
    explicit FormAbout(Form* ownerForm);
    ~FormAbout() override;

    // To be called before Show; each only stores its values.
    void SetWebAddress(const std::string& address) { webAddress = address; }
    // The image stays the caller's.
    void SetLogo(XImage* image, int32_t w, int32_t h);
    void SetProductText(const std::string& s) { productText = s; }
    void SetCopyrightText(const std::string& s) { copyrightText = s; }
    void SetNotice(const std::string& s) { noticeText = s; }

    // Creates the window on first use; a form that gets no window gives its
    // owner back at once.
    void Show() override;

    virtual void HandleLoad();
    // Gives the owner back its input, once; always answers true.
    virtual bool HandleQueryClose();
    virtual void HandleResize() {}
    virtual bool HandleKeyChar(char ch);
    virtual void HandleKeyDown(uint32_t /*keysym*/) {}
    virtual void HandleKeyUp(uint32_t /*keysym*/) {}
    virtual void HandleClick(GUIElement* sender);
    virtual void HandleLinkPressed(GUIElement* sender);

    // "info@" and the web address from its 13th character on (the scheme and
    // the first label of the host name dropped).
    static std::string MailAddressFor(const std::string& webAddress);

    Form* GetOwner() const { return owner; }

private:
    void ReleaseOwner();

    Form* owner;
    DialogOwner hold_;
    std::unique_ptr<PanelChildren> logoPanel;
    std::unique_ptr<MyImage> logoImage;
    std::unique_ptr<CellControl> productLabel;
    std::unique_ptr<CellControl> copyrightLabel;
    std::unique_ptr<CellControl> noticeLabel;
    std::unique_ptr<ButtonCustom> okButton;
    std::unique_ptr<CellControl> webLabel;
    std::unique_ptr<CellControl> mailLabel;
    XImage* logo = nullptr;
    int32_t logoWidth_ = 0;
    int32_t logoHeight_ = 0;
    std::string productText;
    std::string copyrightText;
    std::string noticeText;
    std::string webAddress;
};

}  // namespace lumetra
