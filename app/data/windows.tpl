# Velmora's two windows. tools/template_compiler.py turns this file into the
# binary template segment the runtime reads at start-up; event lines name the
# application's handlers. Units are listed in template order; the last word of
# a window or unit line is the name code and scripts know it by.

window 0x52010001 mainWindow
    header 0 0x19010007
    unit 0x06010001 window
        rect 50 50 453 309
        flags 1
        event 0 onMainWindowCreated
        block
            version 6
            border 2
            background 0xFF000000
            picture_mode 1
            control_box 1
            maximise_box 0
            minimise_box 1
            start_position 1
            closable 1
            show_in_taskbar 1
            always_on_top 0
            title "Velmora  by：Tavrosi  [下载时程序会假死]"
    unit 0x16016246 Button 按钮3 donateButton
        rect 340 70 91 24
        flags 5
        focus 9
        event 0 onDonateClicked
        block
            version 1
            caption "赞助作者"
    unit 0x1601623E EditBox 编辑框3 outputNameBox
        rect 88 73 80 20
        flags 5
        focus 8
        block
            version 2
            alignment 1
            content "output"
    unit 0x1601623D TransLabel 透明标签3 outputNameLabel
        rect 16 75 184 16
        flags 1
        focus 7
        block
            version 1
            text "保存文件名：              .mp4"
    unit 0x16013EDF Button 按钮2 startButton
        rect 214 70 104 24
        flags 7
        focus 6
        event 0 onStartClicked
        block
            version 1
            caption "开始"
    unit 0x16013ECA EditBox 编辑框2 logBox
        rect 11 103 424 168
        flags 5
        focus 5
        block
            version 2
            multi_line 1
            scroll_bars 2
    unit 0x16010006 DropTarget 拖放对象1 dropTarget
        rect 413 43 26 26
        flags 1
        focus 4
        event 3 onFileDropped
        block
            version 1
            accept_files 1
    unit 0x16010005 TransLabel 透明标签2 hintLabel
        rect 40 42 368 24
        flags 1
        focus 3
        block
            version 1
            text "M3U8地址可以是本地路径（拖到上面编辑框载入），或者是网络地址"
    unit 0x16010004 Button 按钮1 parseButton
        rect 365 13 70 23
        flags 5
        focus 2
        event 0 onParseClicked
        block
            version 1
            caption "解析"
    unit 0x16010003 TransLabel 透明标签1 addressLabel
        rect 11 14 64 24
        flags 1
        focus 1
        block
            version 1
            text "M3U8地址："
    unit 0x16010002 EditBox 编辑框1 addressBox
        rect 74 15 283 20
        flags 5
        focus 0

window 0x5201817D donationWindow
    header 0 0x19010007
    unit 0x0601817C window
        rect 50 50 565 250
        flags 1
        block
            version 6
            border 2
            background 0x404040
            picture_mode 1
            control_box 1
            maximise_box 0
            minimise_box 0
            start_position 1
            closable 1
            show_in_taskbar 1
            title "打开 QQ/微信/支付宝 扫一扫 赞助我哦！！！"
    unit 0x1601817E PicBox 图片框1 donationPicture
        rect 1 -14 567 232
        flags 1
        block
            version 2
            border 0
            background 0xFF000000
            display_mode 0
            animate 1
            picture file donation.png
