// The styles that QGIS applies by default to the layers of a GeoPackage: rows
// of its own "layer_styles" table, one per layer, in QGIS's QML. Routes are
// drawn in their colour, areas filled and outlined in theirs (both taken from
// the "colour" field), and marks as dark dots labelled with their names.
#include <cpl_string.h>

#include "gis/gis.hpp"

namespace ruter {

namespace {

// The colour of a symbol layer's `propriete`, taken from the "colour" field.
std::string couleur_du_champ(const char* propriete) {
    return std::string("<Option name=\"") + propriete +
           "\" type=\"Map\"><Option name=\"active\" type=\"bool\" value=\"true\"/>"
           "<Option name=\"field\" type=\"QString\" value=\"colour\"/>"
           "<Option name=\"type\" type=\"int\" value=\"2\"/></Option>";
}

std::string option(const char* nom, const char* valeur) {
    return std::string("<Option name=\"") + nom + "\" type=\"QString\" value=\"" + valeur + "\"/>";
}

// QGIS's "R,G,B,A" of an opaque colour 0xRRGGBB.
std::string rgba(int couleur) {
    return std::to_string(couleur >> 16 & 0xFF) + "," + std::to_string(couleur >> 8 & 0xFF) + "," +
           std::to_string(couleur & 0xFF) + ",255";
}

// One symbol of one symbol layer; `geometrie` 0, 1, 2 for points, lines,
// polygons makes QGIS refuse the style on a layer of another kind.
std::string qml(const char* symbole, const char* classe, const std::string& options,
                const std::string& proprietes, const char* etiquettes, char geometrie) {
    std::string q = std::string("<qgis version=\"3.22.0\"") +
                    (*etiquettes ? " labelsEnabled=\"1\"" : "") +
                    "><renderer-v2 type=\"singleSymbol\"><symbols><symbol type=\"" + symbole +
                    "\" name=\"0\" alpha=\"1\"><layer class=\"" + classe +
                    "\" enabled=\"1\"><Option type=\"Map\">" + options + "</Option>";
    if (!proprietes.empty()) {
        q += "<data_defined_properties><Option type=\"Map\"><Option name=\"properties\" "
             "type=\"Map\">" +
             proprietes +
             "</Option><Option name=\"type\" type=\"QString\" value=\"collection\"/>"
             "</Option></data_defined_properties>";
    }
    return q + "</layer></symbol></symbols></renderer-v2>" + etiquettes + "<layerGeometryType>" +
           geometrie + "</layerGeometryType></qgis>";
}

}  // namespace

bool ecrire_styles_qgis(Gis& g) {
    const std::string styles[kGenres] = {
        qml("marker", "SimpleMarker",
            option("name", "circle") + option("color", rgba(kCouleurRepere).c_str()) +
                option("outline_color", "0,0,0,255") + option("outline_width", "0") +
                option("size", "2.5") + option("size_unit", "MM"),
            "",
            "<labeling type=\"simple\"><settings><text-style fieldName=\"name\" isExpression=\"0\" "
            "fontSize=\"10\" fontSizeUnit=\"Point\" textColor=\"0,0,0,255\"/><placement "
            "placement=\"0\" dist=\"1\" distUnits=\"MM\"/><rendering drawLabels=\"1\"/></settings>"
            "</labeling>",
            '0'),
        qml("line", "SimpleLine",
            option("line_color", "0,0,0,255") + option("line_style", "solid") +
                option("line_width", "0.7") + option("line_width_unit", "MM"),
            couleur_du_champ("outlineColor"), "", '1'),
        qml("fill", "SimpleFill",
            option("color", "0,0,0,255") + option("style", "solid") +
                option("outline_color", "0,0,0,255") + option("outline_style", "solid") +
                option("outline_width", "0.5") + option("outline_width_unit", "MM"),
            couleur_du_champ("fillColor") + couleur_du_champ("outlineColor"), "", '2'),
    };
    // The table as QGIS itself creates it.
    char** options = CSLSetNameValue(nullptr, "FID", "id");
    OGRLayerH table = GDALDatasetCreateLayer(g.ds, "layer_styles", nullptr, wkbNone, options);
    CSLDestroy(options);
    if (table == nullptr) return false;
    const struct {
        const char* nom;
        OGRFieldType type;
        int largeur;
    } colonnes[] = {{"f_table_catalog", OFTString, 256},
                    {"f_table_schema", OFTString, 256},
                    {"f_table_name", OFTString, 256},
                    {"f_geometry_column", OFTString, 256},
                    {"styleName", OFTString, 30},
                    {"styleQML", OFTString, 0},
                    {"styleSLD", OFTString, 0},
                    {"useAsDefault", OFTInteger, 0},
                    {"description", OFTString, 0},
                    {"owner", OFTString, 30},
                    {"ui", OFTString, 30},
                    {"update_time", OFTDateTime, 0}};
    for (const auto& c : colonnes) {
        OGRFieldDefnH d = OGR_Fld_Create(c.nom, c.type);
        OGR_Fld_SetWidth(d, c.largeur);
        if (c.type == OFTInteger) OGR_Fld_SetSubType(d, OFSTBoolean);
        if (c.type == OFTDateTime) OGR_Fld_SetDefault(d, "CURRENT_TIMESTAMP");
        const OGRErr e = OGR_L_CreateField(table, d, FALSE);
        OGR_Fld_Destroy(d);
        if (e != OGRERR_NONE) return false;
    }
    OGRFeatureH f = OGR_F_Create(OGR_L_GetLayerDefn(table));
    bool ok = true;
    for (int k = 0; k < kGenres && ok; ++k) {
        if (g.couches[k].couche == nullptr) continue;  // a kind not written
        // QGIS finds a layer's style by its table, schema ("", not null) and
        // geometry column.
        const char* valeurs[][2] = {
            {"f_table_catalog", ""},
            {"f_table_schema", ""},
            {"f_table_name", OGR_L_GetName(g.couches[k].couche)},
            {"f_geometry_column", OGR_L_GetGeometryColumn(g.couches[k].couche)},
            {"styleName", OGR_L_GetName(g.couches[k].couche)},
            {"styleQML", styles[k].c_str()},
            {"styleSLD", ""},
            {"description", "ruter2gis"},
            {"owner", ""}};
        for (const auto& [colonne, valeur] : valeurs) {
            OGR_F_SetFieldString(f, OGR_F_GetFieldIndex(f, colonne), valeur);
        }
        OGR_F_SetFieldInteger(f, OGR_F_GetFieldIndex(f, "useAsDefault"), 1);
        OGR_F_SetFID(f, OGRNullFID);
        ok = OGR_L_CreateFeature(table, f) == OGRERR_NONE;
    }
    OGR_F_Destroy(f);
    return ok;
}

}  // namespace ruter
