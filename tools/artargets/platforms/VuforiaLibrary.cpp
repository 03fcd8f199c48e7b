// Vuforia: a device database's XML, NAME.xml, with each target's size ("width height") in the
// unit the export is asked for, and the pictures beside it in images/ for the target manager.
// The database's binary NAME.dat is made only by Vuforia's own target manager, from those
// pictures: the export says so in a README beside the XML.
#include <cstdio>
#include <filesystem>
#include <pugixml.hpp>
#include <sstream>

#include "platforms/LibraryFiles.h"
#include "platforms/PlatformLibraries.h"
#include "support/InputFile.h"

namespace artargets {

namespace fs = std::filesystem;

namespace {

// As the target manager writes sizes: six decimals.
std::string SizeText(double width, double height) {
  char text[96];
  std::snprintf(text, sizeof text, "%.6f %.6f", width, height);
  return text;
}

std::string VuforiaReadme(const std::string& name, const std::string& unit) {
  return "# " + name + " for Vuforia\n\n`" + name +
         ".xml` lists the image targets with their sizes in " + unit +
         ".\nVuforia also needs the database's binary `" + name +
         ".dat`, which only its online Target Manager makes: upload the pictures in `images/` "
         "there (each as an Image Target of the width in the XML), download the database for "
         "Unity or native, and keep this XML's sizes (the Target Manager may round them).\nEach "
         "target's place in the model is in `artargets-manifest.json`.\n";
}

}  // namespace

std::vector<ExportedFile> ExportVuforia(const ExportSource& source) {
  std::vector<ExportedFile> files;
  pugi::xml_document doc;
  pugi::xml_node declaration = doc.append_child(pugi::node_declaration);
  declaration.append_attribute("version") = "1.0";
  declaration.append_attribute("encoding") = "UTF-8";
  pugi::xml_node config = doc.append_child("QCARConfig");
  config.append_attribute("xmlns:xsi") = "http://www.w3.org/2001/XMLSchema-instance";
  config.append_attribute("xsi:noNamespaceSchemaLocation") = "qcar_config.xsd";
  pugi::xml_node tracking = config.append_child("Tracking");
  for (const TargetRecord& target : source.targets) {
    files.push_back(
        PictureCopy("images/" + target.name + PictureExtension(target), target, source.imageRoot));
    pugi::xml_node image = tracking.append_child("ImageTarget");
    image.append_attribute("name") = target.name.c_str();
    image.append_attribute("size") = SizeText(target.width, target.height).c_str();
  }
  std::ostringstream xml;
  doc.save(xml, "  ");
  files.push_back({source.name + ".xml", xml.str(), ""});
  files.push_back({"README.md", VuforiaReadme(source.name, source.unit.name), ""});
  return files;
}

bool ImportVuforia(const std::string& path, const std::string& imageRoot, const LengthUnit& unit,
                   std::vector<TargetRecord>& targets, std::string& error) {
  (void)unit;  // sizes are in the unit the export was asked for: the caller names it
  fs::path xml = path;
  if (fs::is_directory(xml))
    for (const auto& entry : fs::directory_iterator(path))
      if (entry.path().extension() == ".xml") xml = entry.path();
  std::string text;
  if (!ReadInputFile(xml.string(), text, error))
    return error = "cannot read " + xml.string() + ": " + error, false;
  pugi::xml_document doc;
  const pugi::xml_parse_result parsed = doc.load_buffer(text.data(), text.size());
  if (!parsed || !doc.child("QCARConfig"))
    return error = xml.string() + " is not a Vuforia dataset (no <QCARConfig>)", false;
  for (pugi::xml_node image : doc.child("QCARConfig").child("Tracking").children("ImageTarget")) {
    TargetRecord target;
    target.name = image.attribute("name").value();
    std::istringstream(image.attribute("size").value()) >> target.width >> target.height;
    for (const char* extension : {".png", ".jpg", ".jpeg"}) {
      const fs::path picture = xml.parent_path() / "images" / (target.name + extension);
      if (fs::exists(picture))
        target.image = fs::relative(picture, imageRoot).lexically_normal().string();
    }
    targets.push_back(std::move(target));
  }
  return true;
}

}  // namespace artargets
