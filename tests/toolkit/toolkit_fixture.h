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
    TLoggingBox(TComponent* owner, std::vector<std::string>& log, COLORREF colour)
        : TGraphicControl(owner), FLog(log), FColour(colour) {}

    void Click() override {
        Log("click");
        TGraphicControl::Click();
    }
    void DblClick() override {
        Log("dblclick");
        TGraphicControl::DblClick();
    }
    void MouseDown(TMouseButton b, TShiftState s, int x, int y) override {
        Log("down" + Button(b) + At(x, y));
        TGraphicControl::MouseDown(b, s, x, y);
    }
    void MouseUp(TMouseButton b, TShiftState s, int x, int y) override {
        Log("up" + Button(b) + At(x, y));
        TGraphicControl::MouseUp(b, s, x, y);
    }
    void MouseMove(TShiftState s, int x, int y) override {
        Log("move" + At(x, y));
        TGraphicControl::MouseMove(s, x, y);
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
    void Log(const std::string& what) { FLog.push_back(Name() + ":" + what); }
    static std::string Button(TMouseButton b) {
        return b == TMouseButton::mbLeft ? "L" : b == TMouseButton::mbRight ? "R" : "M";
    }
    static std::string At(int x, int y) {
        return "(" + std::to_string(x) + "," + std::to_string(y) + ")";
    }
    std::vector<std::string>& FLog;
    COLORREF FColour;
};

// Screen pixels are 0x00RRGGBB; COLORREF is 0x00BBGGRR.
inline uint32_t ScreenColour(COLORREF c) {
    return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
}

class ToolkitTest : public ::testing::Test {
  protected:
    ToolkitTest() {
        app.SetTitle("ZorbaLin");
        app.CreateForm(main);
        main->SetBounds(100, 50, 0, 0);
        main->SetClientSize(300, 200);
        main->SetColor(clBlack);
    }

    TLoggingBox* AddBox(TForm* form, const std::string& name, TRect box, COLORREF colour) {
        auto* b = new TLoggingBox(form, log, colour);
        b->SetName(name);
        b->SetParent(form);
        b->SetBounds(box.Left, box.Top, box.Width(), box.Height());
        return b;
    }

    // Shows the main form and handles what showing it queued.
    void ShowMain() {
        main->Show();
        app.ProcessMessages();
    }

    // Screen point of a client point of the main form.
    TPoint At(int x, int y) const { return main->ClientToScreen({x, y}); }
    void Press(int x, int y, TMouseButton b = TMouseButton::mbLeft) {
        TPoint p = At(x, y);
        screen.MouseDown(p.X, p.Y, b);
    }
    void Release(int x, int y, TMouseButton b = TMouseButton::mbLeft) {
        TPoint p = At(x, y);
        screen.MouseUp(p.X, p.Y, b);
    }
    void Move(int x, int y) {
        TPoint p = At(x, y);
        screen.MouseMove(p.X, p.Y);
    }
    void ClickAt(int x, int y) {
        Press(x, y);
        Release(x, y);
    }

    // Runs the steps one by one whenever a modal loop (a dialog's, a menu's) waits for input.
    void Script(std::vector<std::function<void()>> steps) {
        auto shared = std::make_shared<std::vector<std::function<void()>>>(std::move(steps));
        auto next = std::make_shared<size_t>(0);
        screen.OnIdle = [shared, next] {
            if (*next < shared->size())
                (*shared)[(*next)++]();
        };
    }

    THeadlessBackend screen;
    TApplication app{screen};
    TForm* main = nullptr;
    std::vector<std::string> log;
};

} // namespace zorbalin
