<?xml version="1.0" encoding="UTF-8"?>
<tileset version="1.10" tiledversion="1.10.2" name="walls" tilewidth="16" tileheight="16" tilecount="4" columns="4">
 <image source="walls.png" width="64" height="16"/>
 <tile id="0">
  <properties>
   <property name="pass" value="URDL"/>
  </properties>
 </tile>
 <tile id="1">
  <properties>
   <property name="pass" value=""/>
  </properties>
 </tile>
 <tile id="2">
  <properties>
   <property name="pass" value="URD"/>
  </properties>
 </tile>
 <tile id="3">
  <properties>
   <property name="pass" value="RDL"/>
  </properties>
 </tile>
</tileset>
