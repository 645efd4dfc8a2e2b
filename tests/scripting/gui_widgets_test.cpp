// The QV.GUI widget members, layouts and module functions, as scripts use them. Each case is an
// expression evaluated after the chunks before it; widgets live in a dialog freed at the end.
#include "gui_script_test_support.h"
#include "qv_dynamic_text.h"
#include "qv_layout_view.h"

namespace {

struct Case {
    const char* code; // run first, may be empty
    const char* expression;
    const char* expected; // a result beginning with "error in function" matches any argument error
};

using GuiWidgetsTest = GuiScriptTest;

constexpr const char* kHolder = R"(
holder = QV.GUI.QV_SimpleDialog:new_local("widgets")
L = holder:GetLayout()
function Keep(widget) L:AddChild(widget) return widget end
function Fails(f, ...) return select(2, pcall(f, ...)) end
)";

} // namespace

using GuiWidgetsCases = GuiWidgetsTest;

TEST_F(GuiWidgetsCases, ValueWidgets)
{
    Run(kHolder);
    Run("i = Keep(QV.GUI.TextControl(60, '', 0, QV.GUI.FIELD_INT))"
        " f = Keep(QV.GUI.TextControl(60, '', 0, QV.GUI.FIELD_FLOAT))"
        " t = Keep(QV.GUI.DynamicText('start', 40))"
        " a = Keep(QV.GUI.AngleWidget())"
        " s = Keep(QV.GUI.ColorSwatch(false))"
        " c = Keep(QV.GUI.CheckBox('check', 3))");
    const Case cases[] = {
        { "", "(function() i:SetValue(2.5) return i:Value() end)()", "3" },
        { "", "(function() i:SetValue(-2.5) return i:Value() end)()", "-3" },
        { "", "(function() f:SetValue(2.0) return f:Value() end)()", "2" },
        { "", "(function() f:SetValue(0.125) return f:Value() end)()", "0.1250" },
        { "", "(function() f:SetValue(0.5) return f:Value() end)()", "0.50" },
        { "", "(function() f:SetValue('7') return f:Value() end)()", "7" },
        { "", "(function() f:SetValue('12.5') return f:IntValue() .. ' ' .. f:FloatValue() end)()",
            "12 12.5" },
        { "",
            "(function() a:SetValue(-math.pi / 2) return math.abs(a:Value() - 3 * math.pi / 2) < 1e-5 end)()",
            "true" },
        { "", "(function() a:SetValue(7) return math.abs(a:Value() - (7 - 2 * math.pi)) < 1e-5 end)()",
            "true" },
        { "", "(function() c:SetValue(true) return c:Value() end)()", "true" },
        { "", "s:Value() ~= s:Value()", "true" },
        { "", "(function() local v = s:Value() v.r = 0 return s:Value().r end)()", "255" },
        { "",
            "(function() local v = QV.rgb_color() v.r, v.a = 9, 10 s:SetValue(v) return s:Value().r .. ',' "
            ".. "
            "s:Value().a end)()",
            "9,255" },
        { "", "Fails(s.SetValue, s, nil)", "error in function 'SetValue'." },
        { "", "Fails(QV.GUI.Divider)", "error in function 'Divider'." },
        { "", "Fails(QV.GUI.ColorSwatch)", "error in function 'ColorSwatch'." },
        { "", "Fails(i.SetValue, i, 1, 2)", "error in function 'SetValue'." },
        { "", "Fails(L.AddChild)", "error in function 'AddChild'." },
    };
    for (const Case& c : cases) {
        const std::string result = Eval(c.expression);
        const std::string expected = c.expected;
        if (expected.rfind("error in function", 0) == 0)
            EXPECT_EQ(result.rfind(expected, 0), 0u) << c.expression << " gave " << result;
        else
            EXPECT_EQ(result, expected) << c.expression;
    }
    auto* text = Object<QV_DynamicText>("t");
    ASSERT_NE(text, nullptr);
    for (const auto& [value, shown] : { std::pair { "3", "3.00" }, { "'abc'", "abc" }, { "'3'", "3.00" } }) {
        Run(std::string("t:SetValue(") + value + ")");
        EXPECT_STREQ(text->fText.CString(), shown) << value;
    }
}

TEST_F(GuiWidgetsCases, ListsMenusAndPopups)
{
    Run(kHolder);
    Run("list = Keep(QV.GUI.TextList(100, 80)) empty = Keep(QV.GUI.TextList(100, 80))"
        " list:AddItem('1') list:AddItem('x') list:AddItem('y')"
        " menu = QV.GUI.Menu('Menu') menu:AddItem('Beta', 66, 2) menu:AddItemAlphabetically('Alpha', 0, 1)"
        " p1 = Keep(QV.GUI.PopupMenu(80)) p2 = Keep(QV.GUI.PopupMenu(80, nil))"
        " d1 = Keep(QV.GUI.PopupDialog('More')) d2 = Keep(QV.GUI.PopupDialog('Other', true, 4))");
    const Case cases[] = {
        { "", "(function() list:SetSelItem(1) return list:SelItem() .. list:SelItemLabel() end)()", "1x" },
        { "",
            "(function() local found = list:SetSelItem('1') return tostring(found) .. list:SelItem() end)()",
            "true0" },
        { "",
            "(function() local found = list:SetSelItem('zz') return tostring(found) .. list:SelItem() end)()",
            "false0" },
        { "", "(function() list:SetSelItem(99) return list:SelItem() end)()", "2" },
        { "", "tostring(list:GetItem(3)) .. tostring(list:GetItem(-1)) .. list:GetItem(0)", "nilnil1" },
        { "", "(function() list:RemoveItem(-1) list:SetItemLabel(-1, 'q') return list:CountItems() end)()",
            "3" },
        { "", "tostring(empty:SelItemLabel()) .. empty:SelItem()", "nil-1" },
        { "",
            "menu:ItemLabel(1) .. menu:CountItems() .. menu:FirstChecked() .. '[' .. menu:ItemLabel(9) .. "
            "']'",
            "Alpha2-1[]" },
        { "",
            "(function() menu:SetCheckedLabel('Beta', true) return menu:FirstChecked() .. "
            "menu:FirstCheckedLabel() .. menu:FirstCheckedMsg() end)()",
            "1Beta2" },
        { "", "tostring(p1:Menu()) .. tostring(d1:Dialog())", "nilnil" },
        { "", "Fails(p1.SetMenu, p1, nil)", "error in function 'SetMenu'." },
        { "", "Fails(d1.SetDialog, d1, nil)", "error in function 'SetDialog'." },
        // A menu or dialog moves to a second widget rather than having two owners.
        { "",
            "(function() p1:SetMenu(menu) p2:SetMenu(menu) return tostring(p1:Menu()) .. ' ' .. "
            "tostring(p2:Menu() == menu) end)()",
            "nil true" },
        { "",
            "(function() local d = QV.GUI.QV_SimpleDialog:new_local('pop') d1:SetDialog(d) d2:SetDialog(d)"
            " d = nil collectgarbage('collect') return tostring(d1:Dialog()) .. ' ' .. tostring(d2:Dialog() "
            "~= nil) "
            "end)()",
            "nil true" },
        { "", "Fails(menu.SetChecked, list, 1, true)", "error in function 'SetChecked'." },
    };
    for (const Case& c : cases) {
        const std::string result = Eval(c.expression);
        const std::string expected = c.expected;
        if (expected.rfind("error in function", 0) == 0)
            EXPECT_EQ(result.rfind(expected, 0), 0u) << c.expression << " gave " << result;
        else
            EXPECT_EQ(result, expected) << c.expression;
    }
}

TEST_F(GuiWidgetsCases, LayoutLevelsAndValidate)
{
    Run(kHolder);
    Run("field = QV.GUI.TextControl(60, '150', 0, QV.GUI.FIELD_FLOAT) L:AddChild(field)"
        " L:Indent() inner = QV.GUI.StaticText('in') L:AddChild(inner, QV.GUI.ALIGN_FILL) L:Unindent()"
        " outer = QV.GUI.StaticText('out') L:AddChild(outer)");
    const Case cases[] = {
        { "", "tostring(holder:Validate(field, 0, 100)) .. ' ' .. field:Value()", "false 100" },
        { "",
            "(function() field:SetValue('50') return tostring(holder:Validate(field, 0, 100)) .. ' ' .. "
            "field:Value() end)()",
            "true 50" },
        { "", "Fails(L.Pop, L)", "Pop: no row or column is open" },
        { "", "(function() for n = 1, 16 do L:PushV() end return select(2, pcall(L.PushH, L)) end)()",
            "PushH: 16 rows and columns are open already" },
        { "", "(function() for n = 1, 16 do L:Pop() end return pcall(L.Pop, L) end)()", "false" },
        { "", "Fails(L.PushH, 5)", "error in function 'PushH'." },
        // The widgets of a deleted dialog are gone with it.
        { "",
            "(function() local d = QV.GUI.QV_SimpleDialog:new('x') local lay = d:GetLayout() d:delete()"
            " return select(2, pcall(lay.PushH, lay)) end)()",
            "invalid 'self' in function 'PushH2'" },
    };
    for (const Case& c : cases) {
        const std::string result = Eval(c.expression);
        EXPECT_NE(result.find(c.expected), std::string::npos) << c.expression << " gave " << result;
    }
    auto* inner = Object<QV_View>("inner");
    auto* outer = Object<QV_View>("outer");
    ASSERT_TRUE(inner && outer);
    EXPECT_EQ(inner->fIndent, 16);
    EXPECT_EQ(inner->fAlign, ALIGN_FILL);
    EXPECT_EQ(outer->fIndent, 0);
    EXPECT_EQ(outer->fAlign, ALIGN_CENTER);
}
