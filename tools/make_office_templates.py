#!/usr/bin/env python3
"""Writes the blank office documents Quillet+ copies for new Word, Excel and PowerPoint files.

    tools/make_office_templates.py [OUTPUT_DIR]     (default: resources/)

Each is a minimal Office Open XML package: a Word document with one empty paragraph, a workbook
with one empty sheet "Sheet1", a presentation with one blank slide. The output is the same bytes
on every run and every machine: entries are stored (not deflated, so no zlib version can change
them), in a fixed order, with a fixed timestamp and fixed attributes.
"""
import sys
import zipfile
from pathlib import Path

# The earliest time a zip entry can carry; it says "no particular date".
ZIP_TIMESTAMP = (1980, 1, 1, 0, 0, 0)

XML_DECLARATION = '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'

NS_CONTENT_TYPES = "http://schemas.openxmlformats.org/package/2006/content-types"
NS_PACKAGE_RELS = "http://schemas.openxmlformats.org/package/2006/relationships"
NS_R = "http://schemas.openxmlformats.org/officeDocument/2006/relationships"
NS_W = "http://schemas.openxmlformats.org/wordprocessingml/2006/main"
NS_S = "http://schemas.openxmlformats.org/spreadsheetml/2006/main"
NS_P = "http://schemas.openxmlformats.org/presentationml/2006/main"
NS_A = "http://schemas.openxmlformats.org/drawingml/2006/main"

REL = NS_R + "/"
REL_CORE = "http://schemas.openxmlformats.org/package/2006/relationships/metadata/core-properties"

CT_RELS = "application/vnd.openxmlformats-package.relationships+xml"
CT_CORE = "application/vnd.openxmlformats-package.core-properties+xml"
CT_APP = "application/vnd.openxmlformats-officedocument.extended-properties+xml"
CT_THEME = "application/vnd.openxmlformats-officedocument.theme+xml"
CT_WORD = "application/vnd.openxmlformats-officedocument.wordprocessingml."
CT_SHEET = "application/vnd.openxmlformats-officedocument.spreadsheetml."
CT_SLIDES = "application/vnd.openxmlformats-officedocument.presentationml."


def content_types(overrides):
    lines = [f'<Types xmlns="{NS_CONTENT_TYPES}">',
             f'<Default Extension="rels" ContentType="{CT_RELS}"/>',
             '<Default Extension="xml" ContentType="application/xml"/>']
    lines += [f'<Override PartName="/{part}" ContentType="{ctype}"/>' for part, ctype in overrides]
    lines.append('</Types>')
    return XML_DECLARATION + "\n".join(lines) + "\n"


def relationships(rels):
    lines = [f'<Relationships xmlns="{NS_PACKAGE_RELS}">']
    lines += [f'<Relationship Id="{rid}" Type="{rtype}" Target="{target}"/>'
              for rid, rtype, target in rels]
    lines.append('</Relationships>')
    return XML_DECLARATION + "\n".join(lines) + "\n"


def package_rels(main_part):
    return relationships([
        ("rId1", REL + "officeDocument", main_part),
        ("rId2", REL_CORE, "docProps/core.xml"),
        ("rId3", REL + "extended-properties", "docProps/app.xml"),
    ])


# No title, author or dates: every new file starts from these, and a fixed date would be wrong
# for all of them.
CORE_PROPERTIES = XML_DECLARATION + (
    '<cp:coreProperties'
    ' xmlns:cp="http://schemas.openxmlformats.org/package/2006/metadata/core-properties"'
    ' xmlns:dc="http://purl.org/dc/elements/1.1/"'
    ' xmlns:dcterms="http://purl.org/dc/terms/"'
    ' xmlns:dcmitype="http://purl.org/dc/dcmitype/"'
    ' xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance">\n'
    '<cp:revision>1</cp:revision>\n'
    '</cp:coreProperties>\n')


def app_properties(extra=""):
    return XML_DECLARATION + (
        '<Properties'
        ' xmlns="http://schemas.openxmlformats.org/officeDocument/2006/extended-properties"'
        ' xmlns:vt="http://schemas.openxmlformats.org/officeDocument/2006/docPropsVTypes">\n'
        '<Application>Quillet+</Application>\n'
        f'{extra}'
        '<DocSecurity>0</DocSecurity>\n'
        '</Properties>\n')


# ---------------------------------------------------------------------------------------------
# Word

WORD_DOCUMENT = XML_DECLARATION + f"""<w:document xmlns:w="{NS_W}" xmlns:r="{NS_R}">
<w:body>
<w:p/>
<w:sectPr>
<w:pgSz w:w="11906" w:h="16838"/>
<w:pgMar w:top="1440" w:right="1440" w:bottom="1440" w:left="1440" w:header="708" w:footer="708" w:gutter="0"/>
<w:cols w:space="708"/>
<w:docGrid w:linePitch="360"/>
</w:sectPr>
</w:body>
</w:document>
"""

WORD_STYLES = XML_DECLARATION + f"""<w:styles xmlns:w="{NS_W}">
<w:docDefaults>
<w:rPrDefault>
<w:rPr>
<w:rFonts w:ascii="Calibri" w:hAnsi="Calibri" w:eastAsia="Calibri" w:cs="Calibri"/>
<w:sz w:val="22"/>
<w:szCs w:val="22"/>
<w:lang w:val="en-US" w:eastAsia="en-US" w:bidi="ar-SA"/>
</w:rPr>
</w:rPrDefault>
<w:pPrDefault>
<w:pPr>
<w:spacing w:after="160" w:line="259" w:lineRule="auto"/>
</w:pPr>
</w:pPrDefault>
</w:docDefaults>
<w:style w:type="paragraph" w:default="1" w:styleId="Normal">
<w:name w:val="Normal"/>
<w:qFormat/>
</w:style>
<w:style w:type="character" w:default="1" w:styleId="DefaultParagraphFont">
<w:name w:val="Default Paragraph Font"/>
<w:uiPriority w:val="1"/>
<w:semiHidden/>
<w:unhideWhenUsed/>
</w:style>
<w:style w:type="table" w:default="1" w:styleId="TableNormal">
<w:name w:val="Normal Table"/>
<w:uiPriority w:val="99"/>
<w:semiHidden/>
<w:unhideWhenUsed/>
<w:tblPr>
<w:tblInd w:w="0" w:type="dxa"/>
<w:tblCellMar>
<w:top w:w="0" w:type="dxa"/>
<w:left w:w="108" w:type="dxa"/>
<w:bottom w:w="0" w:type="dxa"/>
<w:right w:w="108" w:type="dxa"/>
</w:tblCellMar>
</w:tblPr>
</w:style>
<w:style w:type="numbering" w:default="1" w:styleId="NoList">
<w:name w:val="No List"/>
<w:uiPriority w:val="99"/>
<w:semiHidden/>
<w:unhideWhenUsed/>
</w:style>
</w:styles>
"""

WORD_SETTINGS = XML_DECLARATION + f"""<w:settings xmlns:w="{NS_W}">
<w:defaultTabStop w:val="708"/>
<w:characterSpacingControl w:val="doNotCompress"/>
<w:compat>
<w:compatSetting w:name="compatibilityMode" w:uri="http://schemas.microsoft.com/office/word" w:val="15"/>
</w:compat>
</w:settings>
"""


def docx_parts():
    return [
        ("[Content_Types].xml", content_types([
            ("word/document.xml", CT_WORD + "document.main+xml"),
            ("word/styles.xml", CT_WORD + "styles+xml"),
            ("word/settings.xml", CT_WORD + "settings+xml"),
            ("docProps/core.xml", CT_CORE),
            ("docProps/app.xml", CT_APP),
        ])),
        ("_rels/.rels", package_rels("word/document.xml")),
        ("word/document.xml", WORD_DOCUMENT),
        ("word/_rels/document.xml.rels", relationships([
            ("rId1", REL + "styles", "styles.xml"),
            ("rId2", REL + "settings", "settings.xml"),
        ])),
        ("word/styles.xml", WORD_STYLES),
        ("word/settings.xml", WORD_SETTINGS),
        ("docProps/core.xml", CORE_PROPERTIES),
        ("docProps/app.xml", app_properties()),
    ]


# ---------------------------------------------------------------------------------------------
# Excel

WORKBOOK = XML_DECLARATION + f"""<workbook xmlns="{NS_S}" xmlns:r="{NS_R}">
<bookViews>
<workbookView activeTab="0"/>
</bookViews>
<sheets>
<sheet name="Sheet1" sheetId="1" r:id="rId1"/>
</sheets>
</workbook>
"""

WORKSHEET = XML_DECLARATION + f"""<worksheet xmlns="{NS_S}" xmlns:r="{NS_R}">
<dimension ref="A1"/>
<sheetViews>
<sheetView tabSelected="1" workbookViewId="0">
<selection activeCell="A1" sqref="A1"/>
</sheetView>
</sheetViews>
<sheetFormatPr defaultRowHeight="15"/>
<sheetData/>
<pageMargins left="0.7" right="0.7" top="0.75" bottom="0.75" header="0.3" footer="0.3"/>
</worksheet>
"""

SPREADSHEET_STYLES = XML_DECLARATION + f"""<styleSheet xmlns="{NS_S}">
<fonts count="1">
<font><sz val="11"/><color theme="1"/><name val="Calibri"/><family val="2"/><scheme val="minor"/></font>
</fonts>
<fills count="2">
<fill><patternFill patternType="none"/></fill>
<fill><patternFill patternType="gray125"/></fill>
</fills>
<borders count="1">
<border><left/><right/><top/><bottom/><diagonal/></border>
</borders>
<cellStyleXfs count="1">
<xf numFmtId="0" fontId="0" fillId="0" borderId="0"/>
</cellStyleXfs>
<cellXfs count="1">
<xf numFmtId="0" fontId="0" fillId="0" borderId="0" xfId="0"/>
</cellXfs>
<cellStyles count="1">
<cellStyle name="Normal" xfId="0" builtinId="0"/>
</cellStyles>
<dxfs count="0"/>
<tableStyles count="0"/>
</styleSheet>
"""


def xlsx_parts():
    return [
        ("[Content_Types].xml", content_types([
            ("xl/workbook.xml", CT_SHEET + "sheet.main+xml"),
            ("xl/worksheets/sheet1.xml", CT_SHEET + "worksheet+xml"),
            ("xl/theme/theme1.xml", CT_THEME),
            ("xl/styles.xml", CT_SHEET + "styles+xml"),
            ("docProps/core.xml", CT_CORE),
            ("docProps/app.xml", CT_APP),
        ])),
        ("_rels/.rels", package_rels("xl/workbook.xml")),
        ("xl/workbook.xml", WORKBOOK),
        ("xl/_rels/workbook.xml.rels", relationships([
            ("rId1", REL + "worksheet", "worksheets/sheet1.xml"),
            ("rId2", REL + "theme", "theme/theme1.xml"),
            ("rId3", REL + "styles", "styles.xml"),
        ])),
        ("xl/worksheets/sheet1.xml", WORKSHEET),
        ("xl/theme/theme1.xml", THEME),
        ("xl/styles.xml", SPREADSHEET_STYLES),
        ("docProps/core.xml", CORE_PROPERTIES),
        ("docProps/app.xml", app_properties()),
    ]


# ---------------------------------------------------------------------------------------------
# Shared theme (the workbook's colour and font references and the slide master need one)

def _solid(color):
    return f'<a:solidFill><a:schemeClr val="{color}"/></a:solidFill>'


def _line(width):
    return (f'<a:ln w="{width}" cap="flat" cmpd="sng" algn="ctr">{_solid("phClr")}'
            '<a:prstDash val="solid"/><a:miter lim="800000"/></a:ln>')


THEME = XML_DECLARATION + f"""<a:theme xmlns:a="{NS_A}" name="Quillet">
<a:themeElements>
<a:clrScheme name="Quillet">
<a:dk1><a:sysClr val="windowText" lastClr="000000"/></a:dk1>
<a:lt1><a:sysClr val="window" lastClr="FFFFFF"/></a:lt1>
<a:dk2><a:srgbClr val="1F2A3C"/></a:dk2>
<a:lt2><a:srgbClr val="EEF0F3"/></a:lt2>
<a:accent1><a:srgbClr val="2F6DB5"/></a:accent1>
<a:accent2><a:srgbClr val="D9782D"/></a:accent2>
<a:accent3><a:srgbClr val="8A8F98"/></a:accent3>
<a:accent4><a:srgbClr val="E3B33C"/></a:accent4>
<a:accent5><a:srgbClr val="4C9AC9"/></a:accent5>
<a:accent6><a:srgbClr val="5E9E4A"/></a:accent6>
<a:hlink><a:srgbClr val="1D5FA8"/></a:hlink>
<a:folHlink><a:srgbClr val="7A4E9C"/></a:folHlink>
</a:clrScheme>
<a:fontScheme name="Quillet">
<a:majorFont><a:latin typeface="Calibri"/><a:ea typeface=""/><a:cs typeface=""/></a:majorFont>
<a:minorFont><a:latin typeface="Calibri"/><a:ea typeface=""/><a:cs typeface=""/></a:minorFont>
</a:fontScheme>
<a:fmtScheme name="Quillet">
<a:fillStyleLst>
{_solid("phClr")}
{_solid("phClr")}
{_solid("phClr")}
</a:fillStyleLst>
<a:lnStyleLst>
{_line(6350)}
{_line(12700)}
{_line(19050)}
</a:lnStyleLst>
<a:effectStyleLst>
<a:effectStyle><a:effectLst/></a:effectStyle>
<a:effectStyle><a:effectLst/></a:effectStyle>
<a:effectStyle><a:effectLst/></a:effectStyle>
</a:effectStyleLst>
<a:bgFillStyleLst>
{_solid("phClr")}
{_solid("phClr")}
{_solid("phClr")}
</a:bgFillStyleLst>
</a:fmtScheme>
</a:themeElements>
<a:objectDefaults/>
<a:extraClrSchemeLst/>
</a:theme>
"""


# ---------------------------------------------------------------------------------------------
# PowerPoint

# Ids of masters and layouts share one space that starts at 2^31; slide ids start at 256.
MASTER_ID = 2147483648
LAYOUT_ID = 2147483649

EMPTY_SHAPE_TREE = """<p:spTree>
<p:nvGrpSpPr><p:cNvPr id="1" name=""/><p:cNvGrpSpPr/><p:nvPr/></p:nvGrpSpPr>
<p:grpSpPr><a:xfrm><a:off x="0" y="0"/><a:ext cx="0" cy="0"/><a:chOff x="0" y="0"/><a:chExt cx="0" cy="0"/></a:xfrm></p:grpSpPr>
</p:spTree>"""

SLIDE_NAMESPACES = f'xmlns:a="{NS_A}" xmlns:r="{NS_R}" xmlns:p="{NS_P}"'


def _text_levels(size):
    return f'<a:lvl1pPr><a:defRPr sz="{size}"><a:solidFill><a:schemeClr val="tx1"/></a:solidFill><a:latin typeface="+mn-lt"/></a:defRPr></a:lvl1pPr>'


PRESENTATION = XML_DECLARATION + f"""<p:presentation {SLIDE_NAMESPACES} saveSubsetFonts="1">
<p:sldMasterIdLst>
<p:sldMasterId id="{MASTER_ID}" r:id="rId1"/>
</p:sldMasterIdLst>
<p:sldIdLst>
<p:sldId id="256" r:id="rId2"/>
</p:sldIdLst>
<p:sldSz cx="12192000" cy="6858000"/>
<p:notesSz cx="6858000" cy="9144000"/>
<p:defaultTextStyle>
{_text_levels(1800)}
</p:defaultTextStyle>
</p:presentation>
"""

SLIDE_MASTER = XML_DECLARATION + f"""<p:sldMaster {SLIDE_NAMESPACES}>
<p:cSld>
<p:bg><p:bgRef idx="1001"><a:schemeClr val="bg1"/></p:bgRef></p:bg>
{EMPTY_SHAPE_TREE}
</p:cSld>
<p:clrMap bg1="lt1" tx1="dk1" bg2="lt2" tx2="dk2" accent1="accent1" accent2="accent2" accent3="accent3" accent4="accent4" accent5="accent5" accent6="accent6" hlink="hlink" folHlink="folHlink"/>
<p:sldLayoutIdLst>
<p:sldLayoutId id="{LAYOUT_ID}" r:id="rId1"/>
</p:sldLayoutIdLst>
<p:txStyles>
<p:titleStyle>{_text_levels(4400)}</p:titleStyle>
<p:bodyStyle>{_text_levels(2800)}</p:bodyStyle>
<p:otherStyle>{_text_levels(1800)}</p:otherStyle>
</p:txStyles>
</p:sldMaster>
"""

SLIDE_LAYOUT = XML_DECLARATION + f"""<p:sldLayout {SLIDE_NAMESPACES} type="blank" preserve="1">
<p:cSld name="Blank">
{EMPTY_SHAPE_TREE}
</p:cSld>
<p:clrMapOvr><a:masterClrMapping/></p:clrMapOvr>
</p:sldLayout>
"""

SLIDE = XML_DECLARATION + f"""<p:sld {SLIDE_NAMESPACES}>
<p:cSld>
{EMPTY_SHAPE_TREE}
</p:cSld>
<p:clrMapOvr><a:masterClrMapping/></p:clrMapOvr>
</p:sld>
"""

PRESENTATION_PROPERTIES = XML_DECLARATION + f"<p:presentationPr {SLIDE_NAMESPACES}/>\n"

VIEW_PROPERTIES = XML_DECLARATION + f"""<p:viewPr {SLIDE_NAMESPACES}>
<p:normalViewPr><p:restoredLeft sz="15620"/><p:restoredTop sz="94660"/></p:normalViewPr>
<p:gridSpacing cx="76200" cy="76200"/>
</p:viewPr>
"""


def pptx_parts():
    return [
        ("[Content_Types].xml", content_types([
            ("ppt/presentation.xml", CT_SLIDES + "presentation.main+xml"),
            ("ppt/slideMasters/slideMaster1.xml", CT_SLIDES + "slideMaster+xml"),
            ("ppt/slideLayouts/slideLayout1.xml", CT_SLIDES + "slideLayout+xml"),
            ("ppt/slides/slide1.xml", CT_SLIDES + "slide+xml"),
            ("ppt/theme/theme1.xml", CT_THEME),
            ("ppt/presProps.xml", CT_SLIDES + "presProps+xml"),
            ("ppt/viewProps.xml", CT_SLIDES + "viewProps+xml"),
            ("docProps/core.xml", CT_CORE),
            ("docProps/app.xml", CT_APP),
        ])),
        ("_rels/.rels", package_rels("ppt/presentation.xml")),
        ("ppt/presentation.xml", PRESENTATION),
        ("ppt/_rels/presentation.xml.rels", relationships([
            ("rId1", REL + "slideMaster", "slideMasters/slideMaster1.xml"),
            ("rId2", REL + "slide", "slides/slide1.xml"),
            ("rId3", REL + "theme", "theme/theme1.xml"),
            ("rId4", REL + "presProps", "presProps.xml"),
            ("rId5", REL + "viewProps", "viewProps.xml"),
        ])),
        ("ppt/slideMasters/slideMaster1.xml", SLIDE_MASTER),
        ("ppt/slideMasters/_rels/slideMaster1.xml.rels", relationships([
            ("rId1", REL + "slideLayout", "../slideLayouts/slideLayout1.xml"),
            ("rId2", REL + "theme", "../theme/theme1.xml"),
        ])),
        ("ppt/slideLayouts/slideLayout1.xml", SLIDE_LAYOUT),
        ("ppt/slideLayouts/_rels/slideLayout1.xml.rels", relationships([
            ("rId1", REL + "slideMaster", "../slideMasters/slideMaster1.xml"),
        ])),
        ("ppt/slides/slide1.xml", SLIDE),
        ("ppt/slides/_rels/slide1.xml.rels", relationships([
            ("rId1", REL + "slideLayout", "../slideLayouts/slideLayout1.xml"),
        ])),
        ("ppt/theme/theme1.xml", THEME),
        ("ppt/presProps.xml", PRESENTATION_PROPERTIES),
        ("ppt/viewProps.xml", VIEW_PROPERTIES),
        ("docProps/core.xml", CORE_PROPERTIES),
        ("docProps/app.xml", app_properties("<PresentationFormat>Widescreen</PresentationFormat>\n")),
    ]


TEMPLATES = {"blank.docx": docx_parts, "blank.xlsx": xlsx_parts, "blank.pptx": pptx_parts}


def write_package(path, parts):
    with zipfile.ZipFile(path, "w", compression=zipfile.ZIP_STORED) as package:
        for name, text in parts:
            info = zipfile.ZipInfo(name, date_time=ZIP_TIMESTAMP)
            info.compress_type = zipfile.ZIP_STORED
            info.create_system = 3  # Unix, whatever machine writes it
            info.external_attr = 0o100644 << 16
            package.writestr(info, text.encode("utf-8"))


def main(argv):
    out = Path(argv[1]) if len(argv) > 1 else Path(__file__).resolve().parent.parent / "resources"
    out.mkdir(parents=True, exist_ok=True)
    for name, parts in TEMPLATES.items():
        write_package(out / name, parts())
        print(out / name)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
