// The real window, built from its layout resource, with the virtual port
// library bound as "inpout32.dll" beside the test program. Each test gets a
// fresh window, fresh handler state and a port with nothing connected.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "MessageLog.h"
#include "PortState.h"
#include "Unit1.h"
#include "UnitState.h"

class WindowTest : public testing::Test {
protected:
    void SetUp() override {
        port = vport::PortState::Open();
        ASSERT_NE(port, nullptr) << "virtual port state";
        port->Reset();
        port->SetWiring(vport::Wiring::None);
        BaseAddress = 0;
        AddressApplied = false;
        RegisterSnapshot = {};
        std::fill(std::begin(ToggleCount), std::end(ToggleCount), 0);
        Application->CreateForm(&Tarnwick);
        form = Tarnwick;
        port->ClearLog();
    }

    void TearDown() override {
        delete form;
        Tarnwick = nullptr;
        Application->MainForm = nullptr;
    }

    // The port accesses since the last call, as "R 0x0379" / "W 0x0378 8".
    std::vector<std::string> Traffic() {
        std::vector<std::string> lines;
        for (const vport::Access& a : port->Log()) {
            char text[32];
            if (a.write) snprintf(text, sizeof text, "W 0x%04X %d", a.port, a.value);
            else snprintf(text, sizeof text, "R 0x%04X", a.port);
            lines.push_back(text);
        }
        port->ClearLog();
        return lines;
    }

    // A click as the system delivers it: through the window procedures, where
    // anything a handler throws is shown. A disabled button takes no click.
    static void Click(TButton* button) { SendMessageA(button->Handle(), BM_CLICK, 0, 0); }

    // Types the text into the address field and presses Set.
    void ApplyAddress(const std::string& text) {
        form->MaskEdit_REGISTER->SetText(text);
        Click(form->ButtonSet);
    }

    void Tick() { form->TimerLEDsTimer(form->TimerLEDs); }

    MessageLog messages;
    vport::PortState* port = nullptr;
    TTarnwick* form = nullptr;
};
