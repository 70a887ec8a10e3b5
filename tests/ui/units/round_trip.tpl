# One window with a unit of every type, each of its type block's fields set
# to a value other than its default (choices within their range), for the
# round-trip test of the type blocks.

window 0x52010001
    unit 0x06010001 window
        rect 10 10 300 200
        block
            version 6
            border 3
            picture_mode 2
            background 0x102030
            maximise_box 1
            minimise_box 0
            control_box 0
            start_position 1
            closable 0
            sound_mode 1
            kept_flag21 1
            kept_flag22 1
            kept_flag23 1
            kept_number25 7
            show_in_taskbar 0
            kept_flag27 1
            kept_choice28 0
            always_on_top 0
            kept_flag30 1
            class_name "VelmoraRoundTrip"
            picture hex 89504E
            icon hex 0000
            sound hex 52494646
            title "往返"
            kept_text24 "第二十四"
    unit 0x16000001 EditBox 编辑框1
        rect 5 5 120 60
        block
            version 2
            border 4
            text_colour 0x0000FF
            background 0x00FF00
            hide_selection 0
            max_length 40
            multi_line 1
            scroll_bars 2
            alignment 1
            input_mode 0
            password_char "#"
            case_conversion 1
            spin_mode 0
            spin_minimum -5
            spin_maximum 55
            selection_start 1
            selection_length 2
            font hex F4FFFFFF0000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000
            content "第一行"
            kept_text1 "甲"
            kept_text2 "乙"
    unit 0x16000002 Button 按钮1
        rect 5 70 80 24
        block
            version 1
            type 1
            horizontal_alignment 2
            vertical_alignment 0
            picture hex 424D00
            caption "按我"
    unit 0x16000003 TransLabel 透明标签1
        rect 90 70 80 24
        block
            version 1
            text_effect 3
            text_colour 0x808080
            horizontal_align 2
            vertical_align 0
            word_wrap 1
            font hex 00
            text "标签"
    unit 0x16000004 PicBox 图片框1
        rect 5 100 50 50
        block
            version 2
            border 5
            background 0x203040
            display_mode 2
            animate 0
            picture hex 474946
            data_source "源"
            data_column "列"
    unit 0x16000005 DropTarget 拖放对象1
        rect 60 100 20 20
        block
            version 1
            accept_text 1
            accept_html 1
            accept_url 0
            accept_files 1

# A window of one EditBox, loaded by the engine in the EditBox tests.
window 0x52010002
    unit 0x06010002 window
        rect 0 0 200 100
        flags 1
    unit 0x16000011 EditBox 编辑框1
        rect 5 5 120 24
        flags 1
