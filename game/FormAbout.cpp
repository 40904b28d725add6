// The About dialog's controls, its links to the browser and mail client, and its closing.
#include "lumetra/game/FormAbout.h"

#include "lumetra/controls/ButtonCustom.h"
#include "lumetra/controls/CellControl.h"
#include "lumetra/controls/PanelChildren.h"
#include "lumetra/core/FormOf.h"
#include "lumetra/game/FormMsgBox.h"
#include "lumetra/game/Sound.h"
#include "lumetra/graphics/MyImage.h"

namespace lumetra {

namespace {

constexpr int32_t kWidth = 600;
constexpr int32_t kHeight = 210;
constexpr Colour kLinkColour = 0x0000FF;

// Links react on the press of a mouse button, not on its release.
void OnLinkPressed(GUIElement* sender, uint64_t, PackedPoint) {
    if (auto* about = FormOf<FormAbout>(sender)) about->HandleLinkPressed(sender);
}

void OnOk(GUIElement* sender) {
    if (auto* about = FormOf<FormAbout>(sender)) about->HandleClick(sender);
}

}  // namespace

std::string FormAbout::MailAddressFor(const std::string& address) {
    return "info@" + (address.size() > 12 ? address.substr(12) : std::string());
}

FormAbout::FormAbout(Form* ownerForm) : Form(0, true), owner(ownerForm) {
    SetTitle("Info...");
    SetSize(kWidth, kHeight);
    if (owner != nullptr) {
        const PackedPoint at = owner->GetPosition();
        SetLocation((owner->GetWidth() - kWidth) / 2 + PointX(at),
                    (owner->GetHeight() - kHeight) / 2 + PointY(at));
    }
    SetOnLoad([](GUIElement* self, uint64_t) { static_cast<FormAbout*>(self)->HandleLoad(); });
    SetOnQueryClose(
        [](GUIElement* self) { return static_cast<FormAbout*>(self)->HandleQueryClose(); });
    SetOnKeyChar([](GUIElement* self, char ch) {
        auto* about = FormOf<FormAbout>(self);
        return about != nullptr ? about->HandleKeyChar(ch) : true;
    });
    hold_.Hold(owner, this);
}

FormAbout::~FormAbout() {
    DestroyWindow();
    ReleaseOwner();
    okButton.reset();
    mailLabel.reset();
    webLabel.reset();
    noticeLabel.reset();
    copyrightLabel.reset();
    productLabel.reset();
    logoImage.reset();
    logoPanel.reset();
}

void FormAbout::SetLogo(XImage* image, int32_t w, int32_t h) {
    logo = image;
    logoWidth_ = w;
    logoHeight_ = h;
}

void FormAbout::Show() {
    Form::Show();
    // No window (no display, or the server refused one): nothing could ever
    // close this form, so the owner must not wait for it.
    if (!IsCreated()) ReleaseOwner();
}

void FormAbout::HandleLoad() {
    const int32_t w = GetActualWidth();
    const int32_t h = GetActualHeight();
    const int32_t x0 = logoWidth_ + 45;
    const int32_t tw = w - x0 - 10;

    logoPanel = std::make_unique<PanelChildren>(this);
    logoPanel->SetFrame(true);
    logoPanel->SetSize(logoWidth_ + 20, h - 73);
    logoPanel->SetLocation(10, 23);
    logoPanel->Create();

    logoImage = std::make_unique<MyImage>(logoPanel.get(), logo);
    logoImage->SetSize(logoWidth_, logoHeight_);
    logoImage->SetLocation(5, 5);
    logoImage->Create();

    auto cell = [this](const std::string& text, Colour colour, int32_t cw, int32_t ch) {
        auto c = std::make_unique<CellControl>(this);
        c->SetText(text);
        c->SetTextColor(colour);
        c->SetAlignment(AlignLeft);
        c->SetSize(cw, ch);
        return c;
    };
    productLabel = cell(productText, 0xFFFFFF, tw, 25);
    productLabel->SetLocation(x0, 17);
    productLabel->Create();

    copyrightLabel = cell(copyrightText, 0x000000, tw, 25);
    copyrightLabel->SetLocation(x0, 38);
    copyrightLabel->Create();

    webLabel = cell(webAddress, kLinkColour, 200, 12);
    webLabel->SetOnMouseDown(OnLinkPressed);
    webLabel->SetPosition(x0, 68);
    webLabel->Create();

    mailLabel = cell(MailAddressFor(webAddress), kLinkColour, 150, 12);
    mailLabel->SetOnMouseDown(OnLinkPressed);
    mailLabel->SetPosition(logoWidth_ + 255, 68);
    mailLabel->Create();

    noticeLabel = cell(noticeText, 0x000000, tw, h - 145);
    noticeLabel->SetBorder(true);
    noticeLabel->SetLocation(x0, 95);
    noticeLabel->Create();

    okButton = std::make_unique<ButtonCustom>(this, "OK");
    okButton->SetCommand(OnOk);
    okButton->SetSize(80, 28);
    okButton->SetLocation(x0 + tw / 2 - 80 / 2, h - 37);
    okButton->Create();
}

void FormAbout::ReleaseOwner() { hold_.Release(true); }

bool FormAbout::HandleQueryClose() {
    FormHook2();
    // Once only: a late second close must not enable an owner that another
    // dialog has disabled meanwhile.
    ReleaseOwner();
    return true;
}

bool FormAbout::HandleKeyChar(char ch) {
    if (ch == 13 || ch == 27 || ch == 127) {
        HandleClick(okButton.get());
        return false;
    }
    return true;
}

void FormAbout::HandleClick(GUIElement* sender) {
    if (sender == nullptr || !okButton || sender->GetId() != okButton->GetId() || !IsCreated())
        return;
    if (!HandleQueryClose()) return;
    DestroyWindow();
    Close();
}

void FormAbout::HandleLinkPressed(GUIElement* sender) {
    if (sender == nullptr) return;
    // In a child of its own, so the game goes on while the program runs.
    if (webLabel && sender->GetId() == webLabel->GetId()) {
        StartShellCommand("firefox " + webAddress);
    } else if (mailLabel && sender->GetId() == mailLabel->GetId()) {
        StartShellCommand("thunderbird -compose to=\"" + mailLabel->GetText() + "\"");
    }
}

}  // namespace lumetra
