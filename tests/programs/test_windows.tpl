# Windows of the engine's test program. Handlers are in window_scenarios.cpp.

window 0x52010001 mainWindow
    unit 0x06010001 window
        rect 0 0 420 300
        flags 1
        event 0 onCreated
        block
            border 2
            start_position 1
            title "测试窗口"
    unit 0x16000001 Button 按钮1 firstButton
        rect 10 10 100 28
        flags 5
        event 0 onFirstClicked
        block
            caption "第一"
    unit 0x16000002 Button 按钮2 secondButton
        rect 120 10 100 28
        flags 7
        event 0 onSecondClicked
        block
            caption "第二"
    unit 0x16000003 Button 按钮3
        rect 230 10 100 28
        flags 5
        block
            caption "无事件"
    unit 0x16000004 EditBox 编辑框1 editBox
        rect 10 50 200 24
        flags 5
        event 0 onEditChanged
        block
            content "起始"
    unit 0x16000005 EditBox 编辑框2 lowEditBox
        rect 10 90 200 10
        flags 5
    unit 0x16000006 EditBox 编辑框3 spinEditBox
        rect 10 120 120 24
        flags 5
        block
            spin_mode 1
            spin_minimum 50
            spin_maximum 10
    unit 0x16000007 Button 按钮4
        rect 230 50 150 28
        flags 5
        event 0 onModalClicked
        block
            caption "模态窗口"

window 0x52010002 modalWindow
    unit 0x06010002 window
        rect 100 100 300 160
        flags 1
        block
            border 2
            title "模态"
    unit 0x16000011 Button 按钮1
        rect 10 10 100 28
        flags 5
        block
            caption "确定"

window 0x52010003 neverLoaded
    unit 0x06010003 window
        rect 0 0 200 100
        flags 1
        block
            title "从未载入"
    unit 0x16000021 EditBox 编辑框1 neverLoadedEditBox
        rect 17 23 100 24
        flags 5

window 0x52010004 showcase
    unit 0x06010004 window
        rect 0 0 260 120
        flags 1
        event 0 onShowcaseCreated
        block
            border 2
            start_position 1
            title "按钮与拖放对象"
    unit 0x16000031 Button 按钮1 pictureButton
        rect 10 10 120 64
        flags 5
        block
            caption "图片按钮"
    unit 0x16000032 DropTarget 拖放对象1 showcaseDropTarget
        rect 150 10 64 64
        flags 1
        block
            version 1
            accept_files 1
