object Probe: TProbeForm
  Left = 10
  Top = 10
  Width = 300
  Height = 200
  Caption = 'Probe
  Font.Name = 'MS Sans Serif'
  Font.Height = -11
  object Panel1: TPanel
    Left = 4
    Top = 4
    Width = 280
    Height = 150
    Caption = 'Panel1'
    TabOrder = 0
    object Label1: TLabel
      Left = 10
      Top = 8
      Caption = 'D0'
      Font.Name = 'MS Sans Serif'
      Font.Height = -17
    end
    object Shape1: TShape
      Left = 10
      Top = 40
      Width = 39
      Height = 38
      Shape = stCircle
    end
    object Button1: TButton
      Left = 100
      Top = 40
      Width = 41
      Height = 41
      Caption = 'I / O'
      TabOrder = 1
      OnClick = Button1Click
    end
    object Edit1: TMaskEdit
      Left = 100
      Top = 100
      Width = 61
      Height = 28
      Text = 'It''s'
      TabOrder = 0
    end
    object Label2: TLabel
      Left = 200
      Top = 8
      Width = 60
      Caption = 'Select Printer'
      Alignment = taCenter
      WordWrap = True
    end
  end
  object Timer1: TTimer
    Interval = 1
    OnTimer = Timer1Timer
  end
end
