// A headless application with one shown main form, and a control that paints a solid colour
// and writes every event it gets into a log.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "backend/headless/headless_backend.h"
#include "gdi/owners.h"
#include "toolkit/application.h"
#include "toolkit/graphic_control.h"

namespace zorbalin {

class TLoggingBox : public TGraphicControl {
  public:
    TLoggingBox(TComponent* Owner, std::vector<std::string>& Log, COLORREF Colour)
        : TGraphicControl(Owner), FLog(Log), FColour(Colour) {}

    void Click() override {
        Log("click");
        TGraphicControl::Click();
    }
    void DblClick() override {
        Log("dblclick");
        TGraphicControl::DblClick();
    }
    void MouseDown(TMouseButton B, TShiftState S, int X, int Y) override {
        Log("down" + Button(B) + At(X, Y));
        TGraphicControl::MouseDown(B, S, X, Y);
    }
    void MouseUp(TMouseButton B, TShiftState S, int X, int Y) override {
        Log("up" + Button(B) + At(X, Y));
        TGraphicControl::MouseUp(B, S, X, Y);
    }
    void MouseMove(TShiftState S, int X, int Y) override {
        Log("move" + At(X, Y));
        TGraphicControl::MouseMove(S, X, Y);
    }
    void MouseEnter() override { Log("enter"); }
    void MouseLeave() override { Log("leave"); }

    int Paints = 0;
    bool LeftHalfOnly = false; // leaves the right half unpainted, like a transparent picture

  protected:
    void Paint() override {
        ++Paints;
        TBrushOwner brush(CreateSolidBrush(FColour));
        RECT r{0, 0, LeftHalfOnly ? Width() / 2 : Width(), Height()};
        FillRect(Canvas()->Handle(), &r, brush.Get());
    }

  private:
    void Log(const std::string& What) { FLog.push_back(Name() + ":" + What); }
    static std::string Button(TMouseButton B) {
        return B == TMouseButton::mbLeft ? "L" : B == TMouseButton::mbRight ? "R" : "M";
    }
    static std::string At(int X, int Y) {
        return "(" + std::to_string(X) + "," + std::to_string(Y) + ")";
    }
    std::vector<std::string>& FLog;
    COLORREF FColour;
};

// Screen pixels are 0x00RRGGBB; COLORREF is 0x00BBGGRR.
inline uint32_t ScreenColour(COLORREF C) {
    return (GetRValue(C) << 16) | (GetGValue(C) << 8) | GetBValue(C);
}

class ToolkitTest : public ::testing::Test {
  protected:
    ToolkitTest() {
        FApp.SetTitle("ZorbaLin");
        FApp.CreateForm(FMain);
        FMain->SetBounds(100, 50, 0, 0);
        FMain->SetClientSize(300, 200);
        FMain->SetColor(kClBlack);
    }

    TLoggingBox* AddBox(TForm* Form, const std::string& Name, TRect Box, COLORREF Colour) {
        auto* b = new TLoggingBox(Form, FLog, Colour);
        b->SetName(Name);
        b->SetParent(Form);
        b->SetBounds(Box.Left, Box.Top, Box.Width(), Box.Height());
        return b;
    }

    // Shows the main form and handles what showing it queued.
    void ShowMain() {
        FMain->Show();
        FApp.ProcessMessages();
    }

    // Screen point of a client point of the main form.
    TPoint At(int X, int Y) const { return FMain->ClientToScreen({X, Y}); }
    void Press(int X, int Y, TMouseButton B = TMouseButton::mbLeft) {
        TPoint p = At(X, Y);
        FScreen.MouseDown(p.X, p.Y, B);
    }
    void Release(int X, int Y, TMouseButton B = TMouseButton::mbLeft) {
        TPoint p = At(X, Y);
        FScreen.MouseUp(p.X, p.Y, B);
    }
    void Move(int X, int Y) {
        TPoint p = At(X, Y);
        FScreen.MouseMove(p.X, p.Y);
    }
    void ClickAt(int X, int Y) {
        Press(X, Y);
        Release(X, Y);
    }

    // Runs the steps one by one whenever a modal loop (a dialog's, a menu's) waits for input.
    void Script(std::vector<std::function<void()>> Steps) {
        auto shared = std::make_shared<std::vector<std::function<void()>>>(std::move(Steps));
        auto next = std::make_shared<size_t>(0);
        FScreen.OnIdle = [shared, next] {
            if (*next < shared->size())
                (*shared)[(*next)++]();
        };
    }

    THeadlessBackend FScreen;
    TApplication FApp{FScreen};
    TForm* FMain = nullptr;
    std::vector<std::string> FLog;
};

} // namespace zorbalin
