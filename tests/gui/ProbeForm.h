// A small form for testing the runtime, built from a test layout resource.
#pragma once

#include "Forms.h"
#include "StdCtrls.h"

class TProbeForm : public TForm {
public:
    TPanel* Panel1 = nullptr;
    TLabel* Label1 = nullptr;
    TLabel* Label2 = nullptr;  // centred and word-wrapped
    TShape* Shape1 = nullptr;
    TButton* Button1 = nullptr;
    TMaskEdit* Edit1 = nullptr;
    TTimer* Timer1 = nullptr;
    int clicks = 0, ticks = 0;

    void Button1Click(TObject*) { ++clicks; }
    void Timer1Timer(TObject*) { ++ticks; }

    TProbeForm(TComponent* owner, const char* layout) : TForm(owner) { LoadLayout(layout, Published()); }
    // Laid out for a screen of that many pixels per inch.
    TProbeForm(TComponent* owner, const char* layout, int pixelsPerInch) : TForm(owner) {
        LoadLayout(layout, Published(), pixelsPerInch);
    }

    static const TPublished& Published() {
        static const TPublished published = TPublished()
                                                .Field("Panel1", &TProbeForm::Panel1)
                                                .Field("Label1", &TProbeForm::Label1)
                                                .Field("Label2", &TProbeForm::Label2)
                                                .Field("Shape1", &TProbeForm::Shape1)
                                                .Field("Button1", &TProbeForm::Button1)
                                                .Field("Edit1", &TProbeForm::Edit1)
                                                .Field("Timer1", &TProbeForm::Timer1)
                                                .Method("Button1Click", &TProbeForm::Button1Click)
                                                .Method("Timer1Timer", &TProbeForm::Timer1Timer);
        return published;
    }
};
