// The panel's window, as the form constructor builds it at start-up.
// Positions are Left, Top in pixels in the parent's client area; sizes
// Width x Height; Font.Height < 0 is the character height in pixels.
// Labels size themselves to their text. Components without a font of their
// own take their parent's.
object Tarnwick: TTarnwick
  Left = 289
  Top = 122
  Width = 947
  Height = 589
  Caption = 'Tarnwick'
  Color = clBtnFace
  Font.Name = 'MS Sans Serif'
  Font.Height = -11
  Font.Style = []
  object GroupBox2: TGroupBox
    Left = 559
    Top = 15
    Width = 344
    Height = 328
    Caption = 'LPT DB25 Info+'
    Font.Name = 'MS Sans Serif'
    Font.Height = -17
    Font.Style = []
    TabOrder = 0
    object Image1: TImage
      Left = 15
      Top = 25
      Width = 314
      Height = 286
      AutoSize = True
      Picture.Bitmap = DB25
    end
  end
  object Panel1: TPanel
    Left = 48
    Top = 24
    Width = 473
    Height = 129
    Caption = 'Panel1'
    Font.Name = 'MS Sans Serif'
    Font.Height = -11
    Font.Style = []
    TabOrder = 1
    object PanelHexValues: TPanel
      Left = 8
      Top = 8
      Width = 457
      Height = 113
      Caption = ''
      Font.Name = 'MS Sans Serif'
      Font.Height = -11
      Font.Style = []
      TabOrder = 0
      object LabelData: TLabel
        Left = 227
        Top = 16
        Width = 40
        Height = 20
        Caption = 'Data'
        Font.Name = 'MS Sans Serif'
        Font.Height = -16
        Font.Style = [fsBold]
      end
      object LabelStatus: TLabel
        Left = 289
        Top = 16
        Width = 54
        Height = 20
        Caption = 'Status'
        Font.Name = 'MS Sans Serif'
        Font.Height = -16
        Font.Style = [fsBold]
      end
      object LabelControl_: TLabel
        Left = 362
        Top = 16
        Width = 59
        Height = 20
        Caption = 'Control'
        Font.Name = 'MS Sans Serif'
        Font.Height = -16
        Font.Style = [fsBold]
      end
      object Label0x379: TLabel
        Left = 288
        Top = 48
        Width = 57
        Height = 20
        Caption = '0xDE01'
        Font.Name = 'MS Sans Serif'
        Font.Height = -16
        Font.Style = []
      end
      object Label0x37A: TLabel
        Left = 363
        Top = 48
        Width = 57
        Height = 20
        Caption = '0xDE02'
        Font.Name = 'MS Sans Serif'
        Font.Height = -16
        Font.Style = []
      end
      object LabelHexValueData: TLabel
        Left = 218
        Top = 80
        Width = 9
        Height = 20
        Caption = '0'
        Font.Name = 'MS Sans Serif'
        Font.Height = -16
        Font.Style = []
      end
      object LabelHexValueControl: TLabel
        Left = 288
        Top = 80
        Width = 9
        Height = 20
        Caption = '0'
        Font.Name = 'MS Sans Serif'
        Font.Height = -16
        Font.Style = []
      end
      object LabelHexValueStatus: TLabel
        Left = 364
        Top = 80
        Width = 9
        Height = 20
        Caption = '0'
        Font.Name = 'MS Sans Serif'
        Font.Height = -16
        Font.Style = []
      end
      object LabelRegisterType: TLabel
        Left = 20
        Top = 16
        Width = 112
        Height = 20
        Caption = 'Register Type'
        Font.Name = 'MS Sans Serif'
        Font.Height = -16
        Font.Style = [fsBold]
      end
      object LabelMemoryAddress: TLabel
        Left = 20
        Top = 48
        Width = 173
        Height = 20
        Caption = 'Physical Hex Address'
        Font.Name = 'MS Sans Serif'
        Font.Height = -16
        Font.Style = [fsBold]
      end
      object LabelHexValue: TLabel
        Left = 20
        Top = 80
        Width = 116
        Height = 20
        Caption = 'Decimal Value'
        Font.Name = 'MS Sans Serif'
        Font.Height = -16
        Font.Style = [fsBold]
      end
      object MaskEdit_REGISTER: TMaskEdit
        Left = 216
        Top = 46
        Width = 61
        Height = 28
        Text = '0X378'
        Font.Name = 'MS Sans Serif'
        Font.Height = -16
        Font.Style = [fsBold]
        TabOrder = 0
        OnEnter = MaskEdit_REGISTEREnter
      end
      object ButtonSet: TButton
        Left = 136
        Top = 16
        Width = 75
        Height = 25
        Caption = 'Set'
        Font.Name = 'MS Sans Serif'
        Font.Height = -11
        Font.Style = [fsBold]
        TabOrder = 1
        OnClick = ButtonSetClick
      end
    end
  end
  object Panel2: TPanel
    Left = 48
    Top = 160
    Width = 473
    Height = 185
    Caption = 'Panel2'
    Font.Name = 'MS Sans Serif'
    Font.Height = -11
    Font.Style = []
    TabOrder = 2
    object GroupBox1: TGroupBox
      Left = 3
      Top = 8
      Width = 462
      Height = 169
      Caption = 'Digital Inputs'
      Font.Name = 'MS Sans Serif'
      Font.Height = -17
      Font.Style = []
      TabOrder = 0
      object Shape_DI_1: TShape
        Left = 26
        Top = 77
        Width = 38
        Height = 38
        Shape = stCircle
      end
      object Shape_DI_2: TShape
        Left = 119
        Top = 77
        Width = 38
        Height = 38
        Shape = stCircle
      end
      object Shape_DI_3: TShape
        Left = 212
        Top = 77
        Width = 38
        Height = 38
        Shape = stCircle
      end
      object Shape_DI_4: TShape
        Left = 305
        Top = 77
        Width = 38
        Height = 38
        Shape = stCircle
      end
      object Shape_DI_5: TShape
        Left = 397
        Top = 77
        Width = 39
        Height = 38
        Shape = stCircle
      end
      object Label_DI_1: TLabel
        Left = 26
        Top = 35
        Width = 30
        Height = 20
        Caption = 'DI 1'
      end
      object Label_DI_2: TLabel
        Left = 121
        Top = 35
        Width = 30
        Height = 20
        Caption = 'DI 2'
      end
      object Label_DI_3: TLabel
        Left = 214
        Top = 35
        Width = 30
        Height = 20
        Caption = 'DI 3'
      end
      object Label_DI_4: TLabel
        Left = 306
        Top = 35
        Width = 30
        Height = 20
        Caption = 'DI 4'
      end
      object Label_DI_5: TLabel
        Left = 399
        Top = 35
        Width = 30
        Height = 20
        Caption = 'DI 5'
      end
      object Label_Error: TLabel
        Left = 397
        Top = 134
        Width = 39
        Height = 20
        Caption = '/Error'
      end
      object Label_Select: TLabel
        Left = 300
        Top = 134
        Width = 49
        Height = 20
        Caption = '/Select'
      end
      object Label_Paper_Out: TLabel
        Left = 193
        Top = 134
        Width = 76
        Height = 20
        Caption = '/Paper Out'
      end
      object Label_Busy: TLabel
        Left = 111
        Top = 134
        Width = 45
        Height = 20
        Caption = 'BUSY'
      end
      object Label_ACK: TLabel
        Left = 26
        Top = 134
        Width = 36
        Height = 20
        Caption = '/ACK'
      end
    end
  end
  object Panel3: TPanel
    Left = 8
    Top = 360
    Width = 921
    Height = 193
    Caption = 'Panel3'
    Font.Name = 'MS Sans Serif'
    Font.Height = -11
    Font.Style = []
    TabOrder = 3
    object GroupBox3: TGroupBox
      Left = 6
      Top = 5
      Width = 907
      Height = 180
      Caption = 'Digital Outputs'
      Font.Name = 'MS Sans Serif'
      Font.Height = -17
      Font.Style = []
      TabOrder = 0
      object Shape_DO_1: TShape
        Left = 26
        Top = 50
        Width = 38
        Height = 38
        Shape = stCircle
      end
      object Shape_DO_2: TShape
        Left = 100
        Top = 50
        Width = 38
        Height = 38
        Shape = stCircle
      end
      object Shape_DO_3: TShape
        Left = 175
        Top = 50
        Width = 38
        Height = 38
        Shape = stCircle
      end
      object Shape_DO_4: TShape
        Left = 249
        Top = 50
        Width = 38
        Height = 38
        Shape = stCircle
      end
      object Shape_DO_5: TShape
        Left = 323
        Top = 50
        Width = 38
        Height = 38
        Shape = stCircle
      end
      object Shape_DO_6: TShape
        Left = 397
        Top = 50
        Width = 39
        Height = 38
        Shape = stCircle
      end
      object Shape_DO_7: TShape
        Left = 472
        Top = 50
        Width = 38
        Height = 38
        Shape = stCircle
      end
      object Shape_DO_8: TShape
        Left = 546
        Top = 50
        Width = 38
        Height = 38
        Shape = stCircle
      end
      object Shape_DO_9: TShape
        Left = 620
        Top = 50
        Width = 38
        Height = 38
        Shape = stCircle
      end
      object Shape_DO_10: TShape
        Left = 695
        Top = 50
        Width = 38
        Height = 38
        Shape = stCircle
      end
      object Shape_DO_11: TShape
        Left = 769
        Top = 50
        Width = 38
        Height = 38
        Shape = stCircle
      end
      object Shape_DO_12: TShape
        Left = 843
        Top = 50
        Width = 38
        Height = 38
        Shape = stCircle
      end
      object Label_DO_1: TLabel
        Left = 23
        Top = 23
        Width = 37
        Height = 20
        Caption = 'DO 1'
      end
      object Label_DO_2: TLabel
        Left = 98
        Top = 23
        Width = 37
        Height = 20
        Caption = 'DO 2'
      end
      object Label_DO_3: TLabel
        Left = 173
        Top = 23
        Width = 37
        Height = 20
        Caption = 'DO 3'
      end
      object Label_DO_4: TLabel
        Left = 247
        Top = 23
        Width = 37
        Height = 20
        Caption = 'DO 4'
      end
      object Label_DO_5: TLabel
        Left = 321
        Top = 23
        Width = 37
        Height = 20
        Caption = 'DO 5'
      end
      object Label_DO_6: TLabel
        Left = 397
        Top = 23
        Width = 37
        Height = 20
        Caption = 'DO 6'
      end
      object Label_DO_7: TLabel
        Left = 471
        Top = 23
        Width = 37
        Height = 20
        Caption = 'DO 7'
      end
      object Label_DO_8: TLabel
        Left = 543
        Top = 23
        Width = 37
        Height = 20
        Caption = 'DO 8'
      end
      object Label_DO_9: TLabel
        Left = 618
        Top = 23
        Width = 37
        Height = 20
        Caption = 'DO 9'
      end
      object Label_DO_10: TLabel
        Left = 687
        Top = 23
        Width = 46
        Height = 20
        Caption = 'DO 10'
      end
      object Label_DO_11: TLabel
        Left = 761
        Top = 23
        Width = 46
        Height = 20
        Caption = 'DO 11'
      end
      object Label_DO_12: TLabel
        Left = 836
        Top = 23
        Width = 46
        Height = 20
        Caption = 'DO 12'
      end
      object Label_D2: TLabel
        Left = 257
        Top = 143
        Width = 21
        Height = 20
        Caption = 'D2'
      end
      object Label_D1: TLabel
        Left = 182
        Top = 143
        Width = 21
        Height = 20
        Caption = 'D1'
      end
      object Label_D0: TLabel
        Left = 107
        Top = 143
        Width = 21
        Height = 20
        Caption = 'D0'
      end
      object Label_Strobe: TLabel
        Left = 7
        Top = 143
        Width = 70
        Height = 20
        Caption = '/STROBE'
      end
      object Label_SelectPrinter: TLabel
        Left = 816
        Top = 144
        Width = 84
        Height = 20
        Caption = '/Select PTR'
        Alignment = taCenter
        WordWrap = True
      end
      object Label_Reset: TLabel
        Left = 768
        Top = 143
        Width = 43
        Height = 20
        Caption = 'Reset'
      end
      object Label_LineFeed: TLabel
        Left = 664
        Top = 144
        Width = 75
        Height = 20
        Caption = '/Line Feed'
        Alignment = taCenter
        WordWrap = True
      end
      object Label_D7: TLabel
        Left = 629
        Top = 143
        Width = 21
        Height = 20
        Caption = 'D7'
      end
      object Label_D6: TLabel
        Left = 553
        Top = 143
        Width = 21
        Height = 20
        Caption = 'D6'
      end
      object Label_D5: TLabel
        Left = 480
        Top = 143
        Width = 21
        Height = 20
        Caption = 'D5'
      end
      object Label_D4: TLabel
        Left = 406
        Top = 143
        Width = 21
        Height = 20
        Caption = 'D4'
      end
      object Label_D3: TLabel
        Left = 331
        Top = 143
        Width = 21
        Height = 20
        Caption = 'D3'
      end
      object Button_DO1: TButton
        Left = 24
        Top = 96
        Width = 41
        Height = 41
        Caption = 'I / O'
        TabOrder = 0
        OnClick = Button_DO1Click
      end
      object Button_DO2: TButton
        Left = 96
        Top = 96
        Width = 41
        Height = 41
        Caption = 'I / O'
        TabOrder = 1
        OnClick = Button_DO2Click
      end
      object Button_DO3: TButton
        Left = 174
        Top = 96
        Width = 41
        Height = 41
        Caption = 'I / O'
        TabOrder = 2
        OnClick = Button_DO3Click
      end
      object Button_DO4: TButton
        Left = 248
        Top = 96
        Width = 41
        Height = 41
        Caption = 'I / O'
        TabOrder = 3
        OnClick = Button_DO4Click
      end
      object Button_DO5: TButton
        Left = 320
        Top = 96
        Width = 41
        Height = 41
        Caption = 'I / O'
        TabOrder = 4
        OnClick = Button_DO5Click
      end
      object Button_DO6: TButton
        Left = 392
        Top = 96
        Width = 41
        Height = 41
        Caption = 'I / O'
        TabOrder = 5
        OnClick = Button_DO6Click
      end
      object Button_DO7: TButton
        Left = 472
        Top = 96
        Width = 41
        Height = 41
        Caption = 'I / O'
        TabOrder = 6
        OnClick = Button_DO7Click
      end
      object Button_DO8: TButton
        Left = 544
        Top = 96
        Width = 41
        Height = 41
        Caption = 'I / O'
        TabOrder = 7
        OnClick = Button_DO8Click
      end
      object Button_DO9: TButton
        Left = 616
        Top = 96
        Width = 41
        Height = 41
        Caption = 'I / O'
        TabOrder = 8
        OnClick = Button_DO9Click
      end
      object Button_DO10: TButton
        Left = 696
        Top = 96
        Width = 41
        Height = 41
        Caption = 'I / O'
        TabOrder = 9
        OnClick = Button_DO10Click
      end
      object Button_DO11: TButton
        Left = 768
        Top = 96
        Width = 41
        Height = 41
        Caption = 'I / O'
        TabOrder = 10
        OnClick = Button_DO11Click
      end
      object Button_DO12: TButton
        Left = 840
        Top = 96
        Width = 41
        Height = 41
        Caption = 'I / O'
        TabOrder = 11
        OnClick = Button_DO12Click
      end
    end
  end
  object TimerLEDs: TTimer
    Interval = 1
    OnTimer = TimerLEDsTimer
  end
  object TimerValues: TTimer
    Interval = 1
    OnTimer = TimerValuesTimer
  end
end
